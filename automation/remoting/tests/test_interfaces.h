// The interfaces that the remoting tests serve from a test server program.
#pragma once

#include "automation/remoting/interface_face.h"
#include "automation/variant.h"

struct ITestCallback : IUnknown {
    QMX_INTERFACE_ID("{0B7B9E4C-3C1A-4B8E-9F0E-2D6E51C0A001}");
    virtual HRESULT Compute(LONG nValue, LONG* pnResult) = 0;
};

struct ITestEvents : IUnknown {
    QMX_INTERFACE_ID("{0B7B9E4C-3C1A-4B8E-9F0E-2D6E51C0A002}");
    virtual HRESULT Happened(const BSTR& bsWhat, LONG nCount) = 0;
};

struct ITestObject : IUnknown {
    QMX_INTERFACE_ID("{0B7B9E4C-3C1A-4B8E-9F0E-2D6E51C0A003}");
    virtual HRESULT Add(LONG a, LONG b, LONG* pnSum) = 0;
    virtual HRESULT Echo(const BSTR& bsText, BSTR* pbsText) = 0;
    virtual HRESULT EchoVariant(const VARIANT& varValue, VARIANT* pvarValue) = 0;
    virtual HRESULT EchoScalars(VARIANT_BOOL vb, DATE dt, ULONG u, VARIANT_BOOL* pvb, DATE* pdt, ULONG* pu) = 0;
    // Calls pCallback->Compute(nValue) while the caller waits.
    virtual HRESULT CallBack(ITestCallback* pCallback, LONG nValue, LONG* pnResult) = 0;
    // The same child object every time.
    virtual HRESULT get_Child(ITestObject** ppChild) = 0;
    // Whether the two arguments are one object here.
    virtual HRESULT Same(IUnknown* pA, IUnknown* pB, VARIANT_BOOL* pvbSame) = 0;
    // Keeps pObject until Forget.
    virtual HRESULT Keep(IUnknown* pObject) = 0;
    virtual HRESULT Forget() = 0;
    virtual HRESULT get_ProcessId(LONG* pnPid) = 0;
    // Objects of this kind alive in the server.
    virtual HRESULT get_LiveObjects(LONG* pnCount) = 0;
    // Fires Happened now (caused by the caller) and after nDelayMs from a
    // timer (caused by nobody).
    virtual HRESULT Fire(const BSTR& bsWhat, LONG nDelayMs) = 0;
    // Ends the server process before replying.
    virtual HRESULT Die() = 0;
    // Blocks the server for nMs without serving anything, then replies.
    virtual HRESULT Stall(LONG nMs) = 0;
};

namespace qmx::remoting::testing {

class TestCallbackProxy final : public Facet<ITestCallback> {
public:
    using Facet::Facet;
    HRESULT Compute(LONG n, LONG* p) override { QMX_REMOTE_CALL(Compute, n, p); }
};

class TestEventsProxy final : public Facet<ITestEvents> {
public:
    using Facet::Facet;
    HRESULT Happened(const BSTR& s, LONG n) override { QMX_REMOTE_CALL(Happened, s, n); }
};

class TestObjectProxy final : public Facet<ITestObject> {
public:
    using Facet::Facet;
    HRESULT Add(LONG a, LONG b, LONG* p) override { QMX_REMOTE_CALL(Add, a, b, p); }
    HRESULT Echo(const BSTR& s, BSTR* p) override { QMX_REMOTE_CALL(Echo, s, p); }
    HRESULT EchoVariant(const VARIANT& v, VARIANT* p) override { QMX_REMOTE_CALL(EchoVariant, v, p); }
    HRESULT EchoScalars(VARIANT_BOOL vb, DATE dt, ULONG u, VARIANT_BOOL* pvb, DATE* pdt, ULONG* pu) override
    {
        QMX_REMOTE_CALL(EchoScalars, vb, dt, u, pvb, pdt, pu);
    }
    HRESULT CallBack(ITestCallback* c, LONG n, LONG* p) override { QMX_REMOTE_CALL(CallBack, c, n, p); }
    HRESULT get_Child(ITestObject** p) override { QMX_REMOTE_CALL(get_Child, p); }
    HRESULT Same(IUnknown* a, IUnknown* b, VARIANT_BOOL* p) override { QMX_REMOTE_CALL(Same, a, b, p); }
    HRESULT Keep(IUnknown* o) override { QMX_REMOTE_CALL(Keep, o); }
    HRESULT Forget() override { QMX_REMOTE_CALL(Forget); }
    HRESULT get_ProcessId(LONG* p) override { QMX_REMOTE_CALL(get_ProcessId, p); }
    HRESULT get_LiveObjects(LONG* p) override { QMX_REMOTE_CALL(get_LiveObjects, p); }
    HRESULT Fire(const BSTR& s, LONG n) override { QMX_REMOTE_CALL(Fire, s, n); }
    HRESULT Die() override { QMX_REMOTE_CALL(Die); }
    HRESULT Stall(LONG n) override { QMX_REMOTE_CALL(Stall, n); }
};

inline void RegisterTestInterfaces()
{
    RegisterInterface<ITestCallback, TestCallbackProxy>("org.qmx.test.ITestCallback",
                                                        {QMX_REMOTE_METHOD(ITestCallback, Compute)});
    RegisterInterface<ITestEvents, TestEventsProxy>("org.qmx.test.ITestEvents",
                                                    {QMX_REMOTE_METHOD(ITestEvents, Happened)});
    RegisterInterface<ITestObject, TestObjectProxy>(
        "org.qmx.test.ITestObject",
        {QMX_REMOTE_METHOD(ITestObject, Add), QMX_REMOTE_METHOD(ITestObject, Echo),
         QMX_REMOTE_METHOD(ITestObject, EchoVariant), QMX_REMOTE_METHOD(ITestObject, EchoScalars),
         QMX_REMOTE_METHOD(ITestObject, CallBack), QMX_REMOTE_METHOD(ITestObject, get_Child),
         QMX_REMOTE_METHOD(ITestObject, Same), QMX_REMOTE_METHOD(ITestObject, Keep),
         QMX_REMOTE_METHOD(ITestObject, Forget), QMX_REMOTE_METHOD(ITestObject, get_ProcessId),
         QMX_REMOTE_METHOD(ITestObject, get_LiveObjects), QMX_REMOTE_METHOD(ITestObject, Fire),
         QMX_REMOTE_METHOD(ITestObject, Die), QMX_REMOTE_METHOD(ITestObject, Stall)});
}

inline constexpr CLSID kTestServerClsid = ::qmx::MakeGuid("{0B7B9E4C-3C1A-4B8E-9F0E-2D6E51C0A100}");

}  // namespace qmx::remoting::testing
