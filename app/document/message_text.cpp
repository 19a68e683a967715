#include "app/document/message_text.h"

#include "app/document/message_ids.h"
#include "app/language_resources.h"
#include "automation/error_info.h"

namespace qmx {

std::u16string FormatMessage(std::u16string_view format, std::initializer_list<std::u16string_view> args)
{
    std::u16string text;
    text.reserve(format.size());
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size()) {
            if (format[i + 1] == u'%') {
                text += u'%';
                ++i;
                continue;
            }
            if (format[i + 1] == u's' && next != args.end()) {
                text += *next++;
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}

std::u16string MessageText(int id, std::initializer_list<std::u16string_view> args)
{
    const QString format = LanguageResources::String(id);
    return FormatMessage(std::u16string_view(reinterpret_cast<const char16_t*>(format.utf16()),
                                             static_cast<std::size_t>(format.size())),
                         args);
}

MessageAnswer ShowMessage(UserInterface& ui, int id, MessageIcon icon, MessageButtons buttons,
                          MessageAnswer defaultAnswer)
{
    return ui.ShowMessage(MessageText(id), buttons, icon, defaultAnswer);
}

void ShowAdapterError(UserInterface& ui)
{
    const std::optional<ErrorInfo> error = GetErrorInfo();
    if (!error || error->description.empty()) {
        ShowMessage(ui, kMsgAdapterFailed, MessageIcon::Error);
        return;
    }
    ui.ShowMessage(error->description, MessageButtons::Ok, MessageIcon::Error, MessageAnswer::Ok);
}

}  // namespace qmx
