// libxml2 reports some errors (character conversion, output) outside any
// parser context, through the thread's generic error function, which prints
// to the terminal. The reader and writer report failures their own way, so
// such messages are dropped while they run.
#pragma once

#include <libxml/xmlerror.h>
#include <libxml/globals.h>

namespace qmx::xml {

class QuietLibxmlErrors {
public:
    QuietLibxmlErrors() : function_(xmlGenericError), context_(xmlGenericErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, Ignore);
    }
    ~QuietLibxmlErrors() { xmlSetGenericErrorFunc(context_, function_); }
    QuietLibxmlErrors(const QuietLibxmlErrors&) = delete;
    QuietLibxmlErrors& operator=(const QuietLibxmlErrors&) = delete;

private:
    static void Ignore(void*, const char*, ...) {}

    xmlGenericErrorFunc function_;
    void* context_;
};

}  // namespace qmx::xml
