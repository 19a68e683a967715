// Reference counting, interface queries, embedded parts and smart pointers.
#include <gtest/gtest.h>

#include "automation/class_factory.h"
#include "automation/com_object.h"
#include "automation/error_info.h"

#include <thread>

namespace {

struct IShape : IUnknown {
    QMX_INTERFACE_ID("{11111111-2222-3333-4444-555555555555}");
    virtual HRESULT get_Sides(LONG* pnSides) = 0;
};

struct IColored : IUnknown {
    QMX_INTERFACE_ID("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
    virtual HRESULT get_Color(COLORREF* pColor) = 0;
};

struct IPart : IUnknown {
    QMX_INTERFACE_ID("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    virtual HRESULT get_Number(LONG* pn) = 0;
};

struct IOther : IUnknown {
    QMX_INTERFACE_ID("{99999999-9999-9999-9999-999999999999}");
};

int g_alive = 0;

class Part final : public qmx::EmbeddedObject<IPart> {
public:
    using EmbeddedObject::EmbeddedObject;
    HRESULT get_Number(LONG* pn) override
    {
        if (!pn) return E_POINTER;
        *pn = 7;
        return S_OK;
    }
};

class Square final : public qmx::ComObject<IShape, IColored> {
public:
    Square() : part_(static_cast<IShape*>(this)) { ++g_alive; }
    ~Square() override { --g_alive; }
    HRESULT get_Sides(LONG* pn) override
    {
        if (!pn) return E_POINTER;
        *pn = 4;
        return S_OK;
    }
    HRESULT get_Color(COLORREF* pc) override
    {
        if (!pc) return E_POINTER;
        *pc = RGB(1, 2, 3);
        return S_OK;
    }
    IPart* PartOf() { return &part_; }

private:
    Part part_;
};

TEST(ObjectModel, ResultCodesHaveThePlatformValues)
{
    EXPECT_EQ(static_cast<std::uint32_t>(E_INVALIDARG), 0x80070057u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_POINTER), 0x80004003u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_OUTOFMEMORY), 0x8007000Eu);
    EXPECT_EQ(static_cast<std::uint32_t>(E_NOTIMPL), 0x80004001u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_NOINTERFACE), 0x80004002u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_UNEXPECTED), 0x8000FFFFu);
    EXPECT_EQ(static_cast<std::uint32_t>(E_TASK_CYCLE), 0x80000300u);
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(FAILED(E_TASK_CYCLE));
    EXPECT_EQ(VARIANT_TRUE, -1);
}

TEST(ObjectModel, GuidTextRoundTripsAndRejectsMalformedText)
{
    const GUID g = qmx::MakeGuid("{02C4AC89-4B76-4260-8E85-BB0600CA5EF1}");
    EXPECT_EQ(g.Data1, 0x02C4AC89u);
    EXPECT_EQ(g.Data2, 0x4B76);
    EXPECT_EQ(g.Data4[0], 0x8E);
    EXPECT_EQ(g.Data4[7], 0xF1);
    EXPECT_EQ(qmx::GuidToString(g), "{02C4AC89-4B76-4260-8E85-BB0600CA5EF1}");
    EXPECT_EQ(qmx::ParseGuid("02c4ac89-4b76-4260-8e85-bb0600ca5ef1"), g);

    for (const char* bad : {"", "{02C4AC89-4B76-4260-8E85-BB0600CA5EF1", "{02C4AC89-4B76-4260-8E85-BB0600CA5EFG}",
                            "{02C4AC894-B76-4260-8E85-BB0600CA5EF1}", "(02C4AC89-4B76-4260-8E85-BB0600CA5EF1)",
                            "{02C4AC89-4B76-4260-8E85-BB0600CA5EF1}x"})
        EXPECT_FALSE(qmx::ParseGuid(bad).has_value()) << bad;
    EXPECT_LT(qmx::MakeGuid("{00000000-0000-0000-0000-000000000001}"), g);
}

TEST(ObjectModel, ObjectLivesWhileReferencedAndAnswersItsInterfaces)
{
    {
        qmx::ComPtr<Square> square = qmx::MakeObject<Square>();
        ASSERT_TRUE(square);
        EXPECT_EQ(square->RefCount(), 1u);

        qmx::ComPtr<IColored> colored;
        ASSERT_EQ(square.As(&colored), S_OK);
        COLORREF color = 0;
        EXPECT_EQ(colored->get_Color(&color), S_OK);
        EXPECT_EQ(color, RGB(1, 2, 3));

        // IUnknown identity is the same whichever interface is asked.
        qmx::ComPtr<IUnknown> a, b;
        ASSERT_EQ(square.As(&a), S_OK);
        ASSERT_EQ(colored.As(&b), S_OK);
        EXPECT_EQ(a.Get(), b.Get());

        qmx::ComPtr<IOther> other;
        EXPECT_EQ(square.As(&other), E_NOINTERFACE);
        EXPECT_FALSE(other);
        EXPECT_EQ(square->QueryInterface(IShape::iid, nullptr), E_POINTER);

        square.Reset();
        EXPECT_EQ(g_alive, 1);  // still held through colored, a and b
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(ObjectModel, AsIntoItselfQueriesBeforeReleasing)
{
    {
        // The pointer holds the only reference: the object must survive the
        // query and stay held once.
        qmx::ComPtr<IShape> shape = qmx::MakeObject<Square>();
        ASSERT_EQ(shape.As(&shape), S_OK);
        ASSERT_TRUE(shape);
        EXPECT_EQ(g_alive, 1);
        EXPECT_EQ(shape->AddRef(), 2u);
        shape->Release();
        LONG sides = 0;
        EXPECT_EQ(shape->get_Sides(&sides), S_OK);
        EXPECT_EQ(sides, 4);
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(ObjectModel, EmbeddedPartKeepsItsOwnerAlive)
{
    qmx::ComPtr<IPart> part;
    {
        qmx::ComPtr<Square> square = qmx::MakeObject<Square>();
        part = square->PartOf();
        EXPECT_EQ(square->RefCount(), 2u);
    }
    EXPECT_EQ(g_alive, 1);
    LONG n = 0;
    EXPECT_EQ(part->get_Number(&n), S_OK);
    EXPECT_EQ(n, 7);
    qmx::ComPtr<IShape> shape;
    EXPECT_EQ(part.As(&shape), E_NOINTERFACE);  // a part answers only its own interfaces
    part.Reset();
    EXPECT_EQ(g_alive, 0);
}

TEST(ObjectModel, ComPtrTransfersOwnershipWithoutLeaks)
{
    {
        qmx::ComPtr<Square> square = qmx::MakeObject<Square>();
        IShape* raw = nullptr;
        ASSERT_EQ(qmx::ComPtr<IShape>(square.Get()).CopyTo(&raw), S_OK);
        EXPECT_EQ(square->RefCount(), 2u);
        qmx::ComPtr<IShape> adopted = qmx::Adopt(raw);
        EXPECT_EQ(square->RefCount(), 2u);

        qmx::ComPtr<IShape> moved = std::move(adopted);
        EXPECT_FALSE(adopted);
        IShape* detached = moved.Detach();
        EXPECT_EQ(square->RefCount(), 2u);
        detached->Release();
        square = square;  // self-assignment keeps the object
        EXPECT_EQ(square->RefCount(), 1u);
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(ObjectModel, ClassFactoryCreatesOnlyItsClass)
{
    const CLSID mine = qmx::MakeGuid("{12345678-0000-0000-0000-000000000001}");
    const CLSID other = qmx::MakeGuid("{12345678-0000-0000-0000-000000000002}");
    qmx::ComPtr<IClassFactory> factory;
    EXPECT_EQ(qmx::GetClassObjectFor<Square>(other, mine, IClassFactory::iid,
                                             reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(qmx::GetClassObjectFor<Square>(mine, mine, IClassFactory::iid,
                                             reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf())),
              S_OK);
    qmx::ComPtr<IColored> colored;
    EXPECT_EQ(factory->CreateInstance(nullptr, IColored::iid, reinterpret_cast<void**>(colored.ReleaseAndGetAddressOf())),
              S_OK);
    EXPECT_EQ(g_alive, 1);
    void* unused = nullptr;
    EXPECT_EQ(factory->CreateInstance(colored.Get(), IColored::iid, &unused), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IPart::iid, &unused), E_NOINTERFACE);
    colored.Reset();
    EXPECT_EQ(g_alive, 0);
}

TEST(ObjectModel, ErrorObjectIsTakenOnceAndPerThread)
{
    EXPECT_FALSE(qmx::GetErrorInfo());
    EXPECT_EQ(qmx::ReportError(E_FAIL, IShape::iid, u"Source", u"Went wrong"), E_FAIL);
    std::optional<qmx::ErrorInfo> seenElsewhere;
    std::thread([&] { seenElsewhere = qmx::GetErrorInfo(); }).join();
    EXPECT_FALSE(seenElsewhere);
    auto info = qmx::GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->iid, IShape::iid);
    EXPECT_EQ(info->source, u"Source");
    EXPECT_EQ(info->description, u"Went wrong");
    EXPECT_FALSE(qmx::GetErrorInfo());
}

}  // namespace
