// The boundary of every method the host calls on the add-in: no exception leaves it. A COM error
// becomes its HRESULT, with error information describing what failed.
#pragma once

#include <windows.h>

#include <exception>
#include <new>

#include "com/ComError.h"

// Sets the thread's error information for `iid` from the error, then returns its HRESULT.
HRESULT ReportComError(const ComError& error, REFIID iid);

template <class Body>
HRESULT GuardHostCall(REFIID iid, Body&& body) noexcept
{
    try {
        return body();
    } catch (const ComError& error) {
        return ReportComError(error, iid);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
