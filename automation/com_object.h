// Reusable implementations of IUnknown: reference-counted objects and
// objects embedded in an owner whose count they share.
#pragma once

#include <new>
#include <utility>

#include "automation/com_ptr.h"

namespace qmx {

namespace detail {

// Answers riid from the interface list, first match wins. IUnknown is
// answered by the first interface so that identity comparisons hold.
template <class Self, class First, class... Rest>
void* FindInterface(Self* self, REFIID riid)
{
    if (riid == IID_IUnknown) return static_cast<IUnknown*>(static_cast<First*>(self));
    void* found = nullptr;
    auto probe = [&](auto* typed) {
        using I = std::remove_pointer_t<decltype(typed)>;
        if (!found && riid == I::iid) found = typed;
    };
    probe(static_cast<First*>(self));
    (probe(static_cast<Rest*>(self)), ...);
    return found;
}

}  // namespace detail

// A heap object with its own reference count. It starts at zero; wrap a new
// object with MakeObject, which takes the first reference. The object deletes
// itself when the last reference goes.
//
// Derived classes may override QueryOtherInterface to answer interfaces that
// are not in the list (for example an embedded part's interface).
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = detail::FindInterface<ComObject, Interfaces...>(this, riid);
        if (!*ppv) return QueryOtherInterface(riid, ppv);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    ULONG RefCount() const { return refs_; }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Called for an interface that the list does not hold; sets *ppv and
    // takes a reference on success.
    virtual HRESULT QueryOtherInterface(REFIID, void** ppv)
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

private:
    ULONG refs_ = 0;
};

// A part living inside an owner object (a task's subtask list, say). It has no
// count of its own: AddRef and Release act on the owner, so a client holding
// the part keeps the owner alive.
template <class... Interfaces>
class EmbeddedObject : public Interfaces... {
public:
    explicit EmbeddedObject(IUnknown* owner) : owner_(owner) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = detail::FindInterface<EmbeddedObject, Interfaces...>(this, riid);
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

    IUnknown* Owner() const { return owner_; }

protected:
    ~EmbeddedObject() = default;
    EmbeddedObject(const EmbeddedObject&) = delete;
    EmbeddedObject& operator=(const EmbeddedObject&) = delete;

private:
    IUnknown* owner_;
};

// Creates a reference-counted object and hands out its first reference.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args)
{
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    return ComPtr<T>(object);
}

}  // namespace qmx
