// What the user sees of a command's failures: one modal message box captioned with the product title.
#pragma once

#include <exception>
#include <new>

#include "afx/CString.h"
#include "com/ComError.h"

// MB_OK with the exclamation icon, owned by the thread's main window as the framework reports it.
void ShowUserMessage(const char* text);

// "The Export command could not finish: reading the host's version failed with 0x80004005 (...)."
CString DescribeCommandFailure(const char* command, const ComError& error);

// Runs a command's body; a failure that escapes it becomes one message box and goes no further,
// so nothing ever propagates into the host's call.
template <class Body>
void RunCommand(const char* command, Body&& body) noexcept
{
    try {
        try {
            body();
        } catch (const ComError& error) {
            ShowUserMessage(DescribeCommandFailure(command, error));
        } catch (const std::bad_alloc&) {
            CString text;
            text.Format("The %s command could not finish: not enough memory.", command);
            ShowUserMessage(text);
        } catch (const std::exception& error) {
            CString text;
            text.Format("The %s command could not finish: %s.", command, error.what());
            ShowUserMessage(text);
        }
    } catch (...) {
        // Not even the message could be shown; the host must still get its call back.
    }
}
