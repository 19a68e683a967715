// Message texts of the language resources, with their "%s" arguments
// filled in, and the message boxes the application object shows.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "app/user_interface.h"

namespace qmx {

// String `id` with each "%s" replaced by the next argument, in order; a
// "%s" without an argument left stays as it is, and "%%" is one "%".
std::u16string MessageText(int id, std::initializer_list<std::u16string_view> args = {});
std::u16string FormatMessage(std::u16string_view format, std::initializer_list<std::u16string_view> args);

MessageAnswer ShowMessage(UserInterface& ui, int id, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok,
                          MessageAnswer defaultAnswer = MessageAnswer::Ok);

// The failure an adapter reported in this thread's error object: its
// description, or message 140 when there is none.
void ShowAdapterError(UserInterface& ui);

}  // namespace qmx
