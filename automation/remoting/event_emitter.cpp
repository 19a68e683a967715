#include "automation/remoting/event_emitter.h"

#include "automation/remoting/apartment.h"

namespace qmx::remoting {

EventEmitter::EventEmitter(QString path, const InterfaceInfo* face, QString peer)
    : path_(std::move(path)), face_(face), peer_(std::move(peer)), facet_(face->makeFacet(this, face))
{
}

EventEmitter::~EventEmitter() { Apartment::Instance().Unpin(path_); }

HRESULT EventEmitter::EndpointQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != face_->iid) return E_NOINTERFACE;
    *ppv = facet_->AsInterface();
    ++refs_;
    return S_OK;
}

ULONG EventEmitter::EndpointRelease()
{
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

bool EventEmitter::Dropped() const
{
    if (peer_.isEmpty()) return false;
    const Apartment& apartment = Apartment::Instance();
    return apartment.PeerGone(peer_) || apartment.CurrentCaller() == peer_;
}

HRESULT EventEmitter::Transmit(const InterfaceInfo& face, const QString& member, const QVariantList& args,
                               QDBusMessage*)
{
    if (Dropped()) return S_OK;
    Apartment::Instance().Emit(path_, face, member, args, peer_);
    return S_OK;
}

}  // namespace qmx::remoting
