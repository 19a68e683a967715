// Owning smart pointer for reference-counted interfaces.
#pragma once

#include <cstddef>
#include <utility>

#include "automation/unknown.h"

namespace qmx {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference on p.
    ComPtr(T* p) : ptr_(p) { AddRefIfSet(); }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    template <class U>
    ComPtr(const ComPtr<U>& other) : ptr_(other.Get())
    {
        AddRefIfSet();
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* p)
    {
        ComPtr(p).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t)
    {
        Reset();
        return *this;
    }

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // Releases the held reference and returns the slot for an out-parameter.
    T** ReleaseAndGetAddressOf()
    {
        Reset();
        return &ptr_;
    }

    // Adopts a reference that the caller already owns.
    void Attach(T* p)
    {
        Reset();
        ptr_ = p;
    }
    // Gives the held reference to the caller.
    [[nodiscard]] T* Detach() { return std::exchange(ptr_, nullptr); }

    // Hands a new reference out through an out-parameter.
    HRESULT CopyTo(T** out) const
    {
        if (!out) return E_POINTER;
        *out = ptr_;
        AddRefIfSet();
        return S_OK;
    }

    template <class U>
    HRESULT As(ComPtr<U>* out) const
    {
        if (!out) return E_POINTER;
        if (!ptr_) {
            *out = nullptr;
            return E_POINTER;
        }
        // Query before the out-pointer lets go of what it holds: it may be
        // this very pointer, holding the last reference.
        void* found = nullptr;
        const HRESULT hr = ptr_->QueryInterface(U::iid, &found);
        out->Attach(SUCCEEDED(hr) ? static_cast<U*>(found) : nullptr);
        return hr;
    }

    void Reset()
    {
        if (T* p = std::exchange(ptr_, nullptr)) p->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.ptr_ == b.ptr_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.ptr_ == nullptr; }

private:
    void AddRefIfSet() const
    {
        if (ptr_) ptr_->AddRef();
    }

    T* ptr_ = nullptr;
};

// Wraps a reference the caller already owns (the result of a Create...).
template <class T>
ComPtr<T> Adopt(T* p)
{
    ComPtr<T> result;
    result.Attach(p);
    return result;
}

}  // namespace qmx
