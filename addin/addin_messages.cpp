#include "addin/addin_messages.h"

#include <QMessageBox>
#include <QWidget>
#include <cstdio>

#include "addin/addin_strings.h"
#include "automation/error_info.h"

namespace qmx::addin {

namespace {

QString Reason(HRESULT hr)
{
    if (const auto info = GetErrorInfo(); info && !info->description.empty())
        return QString::fromStdU16String(info->description);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return QStringLiteral("Error code %1.").arg(QLatin1String(code));
}

}  // namespace

void ShowFailure(std::int64_t hostWindow, const std::u16string& text, HRESULT hr)
{
    QWidget* parent = hostWindow != 0 ? QWidget::find(static_cast<WId>(hostWindow)) : nullptr;
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromStdU16String(kMessageCaption),
                                QString::fromStdU16String(text), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("QMXMm5GanttDisplayMessage"));
    box->setInformativeText(Reason(hr));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace qmx::addin
