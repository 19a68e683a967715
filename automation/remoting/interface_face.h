// An interface's D-Bus face, described once: its D-Bus interface name and
// its methods (name and C++ member). The stub that serves a method and the
// proxy call that reaches it both follow from the member's parameter types
// through the codec (wire_codec.h), so an interface is added with
//
//   RegisterInterface<IThing, ThingProxy>("org.qmx.IThing",
//       {QMX_REMOTE_METHOD(IThing, get_Name), QMX_REMOTE_METHOD(IThing, Move)});
//
//   class ThingProxy final : public Facet<IThing> {
//       using Facet::Facet;
//       HRESULT get_Name(BSTR* p) override { QMX_REMOTE_CALL(get_Name, p); }
//       ...
//   };
//
// An event interface (a sink) is registered the same way; its methods must
// take in-parameters only, and no interface pointers.
#pragma once

#include <QDBusMessage>
#include <QString>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "automation/remoting/remote_results.h"
#include "automation/remoting/wire_codec.h"

namespace qmx::remoting {

// Serves one call: decodes the in-arguments from args[first...], calls the
// method on the object (already queried for the interface) and appends the
// HRESULT and the out-values to reply. False when the arguments do not fit.
using StubFunction = bool (*)(void* object, const QVariantList& args, int first, const Context& context,
                              QVariantList& reply);

struct MethodInfo {
    QString name;
    QString inSignature;
    StubFunction stub = nullptr;
};

class Endpoint;
struct InterfaceInfo;
class FacetBase;
using FacetFactory = FacetBase* (*)(Endpoint* owner, const InterfaceInfo* info);

struct InterfaceInfo {
    IID iid;
    QString dbusName;
    std::vector<MethodInfo> methods;
    FacetFactory makeFacet = nullptr;

    const MethodInfo* Find(const QString& name) const
    {
        for (const auto& m : methods) {
            if (m.name == name) return &m;
        }
        return nullptr;
    }
};

// The registered faces; registering the same IID again keeps the first.
const InterfaceInfo* RegisterInterfaceInfo(InterfaceInfo info);
const InterfaceInfo* FindInterface(REFIID iid);
const InterfaceInfo* FindInterface(const QString& dbusName);

namespace detail {

template <class... Args>
QString InSignature()
{
    QString sig;
    ((ParamOf<Args>::kOut ? void() : void(sig += QLatin1String(ParamOf<Args>::kSig.data(), ParamOf<Args>::kSig.size()))), ...);
    return sig;
}

template <class... Args>
QString ReplySignature()
{
    QString sig = QStringLiteral("i");
    ((ParamOf<Args>::kOut ? void(sig += QLatin1String(ParamOf<Args>::kSig.data(), ParamOf<Args>::kSig.size())) : void()), ...);
    return sig;
}

template <auto Method>
struct Stub;

template <class I, class... Args, HRESULT (I::*Method)(Args...)>
struct Stub<Method> {
    static bool Serve(void* object, const QVariantList& args, int first, const Context& context, QVariantList& reply)
    {
        std::tuple<typename ParamOf<Args>::Storage...> storage{};
        return Run(static_cast<I*>(object), args, first, context, reply, storage, std::index_sequence_for<Args...>{});
    }

private:
    template <class Tuple, std::size_t... K>
    static bool Run(I* object, const QVariantList& args, int first, const Context& context, QVariantList& reply,
                    Tuple& storage, std::index_sequence<K...>)
    {
        int next = first;
        bool ok = true;
        [[maybe_unused]] auto decode = [&](auto& slot, auto tag) {
            using P = typename decltype(tag)::type;
            if constexpr (!P::kOut) {
                if (!ok) return;
                if (next >= args.size()) {
                    ok = false;
                    return;
                }
                ok = P::Decode(args[next++], context, slot);
            }
        };
        (decode(std::get<K>(storage), std::type_identity<ParamOf<Args>>{}), ...);
        if (!ok || next != args.size()) return false;
        const HRESULT hr = (object->*Method)(ParamOf<Args>::Pass(std::get<K>(storage))...);
        reply << QVariant::fromValue<qint32>(hr);
        [[maybe_unused]] auto encode = [&](auto& slot, auto tag) {
            using P = typename decltype(tag)::type;
            if constexpr (P::kOut) P::EncodeOut(slot, context, reply);
        };
        (encode(std::get<K>(storage), std::type_identity<ParamOf<Args>>{}), ...);
        return true;
    }
};

}  // namespace detail

template <auto Method>
MethodInfo MakeMethod(const char* name)
{
    return MethodInfo{QString::fromLatin1(name), [] {
                          return []<class I, class... Args>(HRESULT (I::*)(Args...)) {
                              return detail::InSignature<Args...>();
                          }(Method);
                      }(),
                      &detail::Stub<Method>::Serve};
}

#define QMX_REMOTE_METHOD(Interface, Method) ::qmx::remoting::MakeMethod<&Interface::Method>(#Method)

// What a facet's calls go through: a proxy sends method calls to the remote
// object, an event emitter sends signals.
class Endpoint {
public:
    virtual HRESULT EndpointQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG EndpointAddRef() = 0;
    virtual ULONG EndpointRelease() = 0;
    // Sends the call and, for a method call, waits for the reply (serving
    // incoming calls meanwhile). The peer is the process the arguments go to.
    virtual HRESULT Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                             QDBusMessage* reply) = 0;
    virtual QString Peer() const = 0;

protected:
    ~Endpoint() = default;
};

class FacetBase {
public:
    virtual ~FacetBase() = default;
    // The facet as its interface (an IUnknown-derived pointer).
    virtual IUnknown* AsInterface() = 0;
};

// The base of an interface's proxy: identity and counting belong to the
// endpoint, calls marshal through the codec.
template <class I>
class Facet : public I, public FacetBase {
public:
    using Interface = I;

    Facet(Endpoint* owner, const InterfaceInfo* info) : owner_(owner), info_(info) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->EndpointQueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->EndpointAddRef(); }
    ULONG Release() override { return owner_->EndpointRelease(); }

    IUnknown* AsInterface() override { return static_cast<I*>(this); }

    template <class P>
    static FacetBase* Make(Endpoint* owner, const InterfaceInfo* info)
    {
        return new P(owner, info);
    }

protected:
    // For a proxy method written by hand: what its calls go through.
    Endpoint* Owner() const { return owner_; }
    const InterfaceInfo* Info() const { return info_; }

    template <class Member, class... Args>
    HRESULT Call(const char* name, HRESULT (Member::*)(Args...), std::type_identity_t<Args>... args)
    {
        bool nullOut = false;
        [[maybe_unused]] auto clear = [&](auto tag, auto value) {
            using P = typename decltype(tag)::type;
            if constexpr (P::kOut) {
                if (!value) nullOut = true;
                else P::Clear(value);
            }
        };
        (clear(std::type_identity<ParamOf<Args>>{}, args), ...);
        if (nullOut) return E_POINTER;

        const Context context{owner_->Peer()};
        QVariantList in;
        [[maybe_unused]] auto encode = [&](auto tag, auto value) {
            using P = typename decltype(tag)::type;
            if constexpr (!P::kOut) P::Encode(value, context, in);
        };
        (encode(std::type_identity<ParamOf<Args>>{}, args), ...);

        QDBusMessage reply;
        const HRESULT sent = owner_->Transmit(*info_, QString::fromLatin1(name), in, &reply);
        if (FAILED(sent) || reply.type() != QDBusMessage::ReplyMessage) return sent;
        if (reply.signature() != detail::ReplySignature<Args...>()) return RPC_E_INVALID_DATA;
        const QVariantList out = reply.arguments();
        int next = 1;
        bool ok = true;
        [[maybe_unused]] auto decode = [&](auto tag, auto value) {
            using P = typename decltype(tag)::type;
            if constexpr (P::kOut) {
                if (ok) ok = P::DecodeOut(out[next++], context, value);
            }
        };
        (decode(std::type_identity<ParamOf<Args>>{}, args), ...);
        if (!ok) return RPC_E_INVALID_DATA;
        return HRESULT(out[0].toInt());
    }

private:
    Endpoint* owner_;
    const InterfaceInfo* info_;
};

#define QMX_REMOTE_CALL(Method, ...) return this->Call(#Method, &Interface::Method __VA_OPT__(, ) __VA_ARGS__)

template <class I, class Proxy>
const InterfaceInfo* RegisterInterface(const char* dbusName, std::vector<MethodInfo> methods)
{
    return RegisterInterfaceInfo(
        InterfaceInfo{I::iid, QString::fromLatin1(dbusName), std::move(methods), &Facet<I>::template Make<Proxy>});
}

}  // namespace qmx::remoting
