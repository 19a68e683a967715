// The argument codec: how each automation type travels in a D-Bus message.
//
//   LONG 'i', ULONG 'u', 64-bit integers 'x', VARIANT_BOOL and SHORT 'n',
//   DATE and float 'd',
//   BSTR 'ay' (UTF-16LE code units, so that any string survives, lone
//   surrogates included), interface pointers '(so)', VARIANT 'v' holding
//   'y' (empty), 'b', 'i', 'd', 'ay' (string) or '(so)' (object).
//
// An in-parameter is encoded into the call; an out-parameter (a pointer to
// one of these) into the reply, after the HRESULT ('i'). Param<T> gives both
// directions for a parameter type T of an interface method.
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QVariant>
#include <QVariantList>
#include <string_view>
#include <type_traits>

#include "automation/com_ptr.h"
#include "automation/remoting/wire_object.h"
#include "automation/types.h"
#include "automation/variant.h"

namespace qmx::remoting {

// A string longer than this (in UTF-16 code units) is refused as input.
inline constexpr qsizetype kMaxStringUnits = qsizetype(1) << 23;

// The process the values go to (encoding) or come from (decoding); object
// references are counted for it. Empty for a broadcast event, whose object
// arguments travel as null.
struct Context {
    QString peer;
};

// Exports a local object to the peer (or names a proxy's original object);
// defined by the apartment.
WireObject MarshalObject(IUnknown* object, const QString& peer);
// The local object or a proxy for the reference, queried for riid.
HRESULT UnmarshalObject(const WireObject& wire, REFIID riid, void** ppv);

QByteArray EncodeBstr(const BSTR& text);
bool DecodeBstr(const QVariant& value, BSTR* text);
bool DecodeWireObject(const QVariant& value, WireObject* wire);
QVariant EncodeVariant(const VARIANT& value, const Context& context);
bool DecodeVariant(const QVariant& value, const Context& context, VARIANT* result);

template <class T>
struct Param;

namespace detail {

template <class T, class Wire, char Sig>
struct ScalarParam {
    static constexpr bool kOut = false;
    static constexpr char kSigText[2] = {Sig, 0};
    static constexpr std::string_view kSig{kSigText, 1};
    using Storage = T;
    static void Encode(T value, const Context&, QVariantList& out) { out << QVariant::fromValue<Wire>(Wire(value)); }
    static bool Decode(const QVariant& value, const Context&, Storage& storage)
    {
        if (value.metaType() != QMetaType::fromType<Wire>()) return false;
        storage = T(value.value<Wire>());
        return true;
    }
    static T Pass(Storage& storage) { return storage; }
};

}  // namespace detail

template <>
struct Param<LONG> : detail::ScalarParam<LONG, qint32, 'i'> {};
template <>
struct Param<ULONG> : detail::ScalarParam<ULONG, quint32, 'u'> {};
template <>
struct Param<std::int64_t> : detail::ScalarParam<std::int64_t, qint64, 'x'> {};
template <>
struct Param<SHORT> : detail::ScalarParam<SHORT, qint16, 'n'> {};
template <>
struct Param<double> : detail::ScalarParam<double, double, 'd'> {};
template <>
struct Param<float> : detail::ScalarParam<float, double, 'd'> {};

template <>
struct Param<BSTR> {
    static constexpr bool kOut = false;
    static constexpr std::string_view kSig = "ay";
    using Storage = BSTR;
    static void Encode(const BSTR& value, const Context&, QVariantList& out) { out << QVariant(EncodeBstr(value)); }
    static bool Decode(const QVariant& value, const Context&, Storage& storage) { return DecodeBstr(value, &storage); }
    static const BSTR& Pass(Storage& storage) { return storage; }
};

template <>
struct Param<VARIANT> {
    static constexpr bool kOut = false;
    static constexpr std::string_view kSig = "v";
    using Storage = VARIANT;
    static void Encode(const VARIANT& value, const Context& context, QVariantList& out)
    {
        out << EncodeVariant(value, context);
    }
    static bool Decode(const QVariant& value, const Context& context, Storage& storage)
    {
        return DecodeVariant(value, context, &storage);
    }
    static const VARIANT& Pass(Storage& storage) { return storage; }
};

// An interface pointer given to the callee.
template <class I>
    requires std::is_base_of_v<IUnknown, I>
struct Param<I*> {
    static constexpr bool kOut = false;
    static constexpr std::string_view kSig = "(so)";
    using Storage = ComPtr<I>;
    static void Encode(I* value, const Context& context, QVariantList& out)
    {
        out << QVariant::fromValue(MarshalObject(value, context.peer));
    }
    static bool Decode(const QVariant& value, const Context&, Storage& storage)
    {
        WireObject wire;
        if (!DecodeWireObject(value, &wire)) return false;
        if (wire.IsNull()) return true;
        return SUCCEEDED(UnmarshalObject(wire, I::iid, reinterpret_cast<void**>(storage.ReleaseAndGetAddressOf())));
    }
    static I* Pass(Storage& storage) { return storage.Get(); }
};

// An out-parameter of any value type: the storage lives in the stub, the
// value travels in the reply.
template <class T>
struct OutParam {
    static constexpr bool kOut = true;
    static constexpr std::string_view kSig = Param<T>::kSig;
    using Storage = typename Param<T>::Storage;
    static T* Pass(Storage& storage) { return &storage; }
    static void EncodeOut(Storage& storage, const Context& context, QVariantList& out)
    {
        Param<T>::Encode(storage, context, out);
    }
    static bool DecodeOut(const QVariant& value, const Context& context, T* target)
    {
        Storage storage{};
        if (!Param<T>::Decode(value, context, storage)) return false;
        *target = std::move(storage);
        return true;
    }
    static void Clear(T*) {}
};

template <class T>
    requires(!std::is_base_of_v<IUnknown, T> && !std::is_pointer_v<T>)
struct Param<T*> : OutParam<T> {};

// An interface pointer handed back to the caller.
template <class I>
    requires std::is_base_of_v<IUnknown, I>
struct Param<I**> {
    static constexpr bool kOut = true;
    static constexpr std::string_view kSig = "(so)";
    using Storage = ComPtr<I>;
    static I** Pass(Storage& storage) { return storage.ReleaseAndGetAddressOf(); }
    static void EncodeOut(Storage& storage, const Context& context, QVariantList& out)
    {
        Param<I*>::Encode(storage.Get(), context, out);
    }
    static bool DecodeOut(const QVariant& value, const Context& context, I** target)
    {
        Storage storage;
        if (!Param<I*>::Decode(value, context, storage)) return false;
        *target = storage.Detach();
        return true;
    }
    static void Clear(I** target) { *target = nullptr; }
};

// The codec of a declared parameter type: references and constness dropped.
template <class A>
using ParamOf = Param<std::conditional_t<std::is_pointer_v<A>, A, std::remove_cvref_t<A>>>;

}  // namespace qmx::remoting
