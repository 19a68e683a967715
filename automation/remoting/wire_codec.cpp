#include "automation/remoting/wire_codec.h"

#include <cstring>

namespace qmx::remoting {

QByteArray EncodeBstr(const BSTR& text)
{
    QByteArray bytes(qsizetype(text.size()) * 2, Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[qsizetype(2 * i)] = char(text[i] & 0xFF);
        bytes[qsizetype(2 * i + 1)] = char(text[i] >> 8);
    }
    return bytes;
}

bool DecodeBstr(const QVariant& value, BSTR* text)
{
    if (value.metaType() != QMetaType::fromType<QByteArray>()) return false;
    const QByteArray bytes = value.toByteArray();
    if (bytes.size() % 2 != 0 || bytes.size() / 2 > kMaxStringUnits) return false;
    text->resize(std::size_t(bytes.size() / 2));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (std::size_t i = 0; i < text->size(); ++i) {
        (*text)[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return true;
}

bool DecodeWireObject(const QVariant& value, WireObject* wire)
{
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return false;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(so)")) return false;
    argument >> *wire;
    // A null reference names no path; a real one names an object path.
    if (wire->bus.isEmpty()) return wire->path.path() == QLatin1String("/");
    return true;
}

QVariant EncodeVariant(const VARIANT& value, const Context& context)
{
    QVariant inner;
    switch (value.index()) {
    case 0: inner = QVariant::fromValue<uchar>(0); break;
    case 1: inner = QVariant(std::get<bool>(value)); break;
    case 2: inner = QVariant::fromValue<qint32>(std::get<std::int32_t>(value)); break;
    case 3: inner = QVariant(std::get<double>(value)); break;
    case 4: inner = QVariant(EncodeBstr(std::get<BSTR>(value))); break;
    default:
        inner = QVariant::fromValue(MarshalObject(std::get<ComPtr<IUnknown>>(value).Get(), context.peer));
        break;
    }
    return QVariant::fromValue(QDBusVariant(inner));
}

bool DecodeVariant(const QVariant& value, const Context& context, VARIANT* result)
{
    if (value.metaType() != QMetaType::fromType<QDBusVariant>()) return false;
    const QVariant inner = value.value<QDBusVariant>().variant();
    const QMetaType type = inner.metaType();
    if (type == QMetaType::fromType<uchar>()) {
        *result = std::monostate{};
    } else if (type == QMetaType::fromType<bool>()) {
        *result = inner.toBool();
    } else if (type == QMetaType::fromType<qint32>()) {
        *result = std::int32_t(inner.toInt());
    } else if (type == QMetaType::fromType<double>()) {
        *result = inner.toDouble();
    } else if (type == QMetaType::fromType<QByteArray>()) {
        BSTR text;
        if (!DecodeBstr(inner, &text)) return false;
        *result = std::move(text);
    } else {
        ComPtr<IUnknown> object;
        if (!Param<IUnknown*>::Decode(inner, context, object)) return false;
        *result = std::move(object);
    }
    return true;
}

}  // namespace qmx::remoting
