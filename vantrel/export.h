/// \file
/// \ingroup core
/// What a shared Vantrel library exports: the declarations of its public headers, which stand
/// between VANTREL_API_BEGIN and VANTREL_API_END, and nothing else, since the library is built
/// with hidden visibility. On Windows they are empty: the DLL's export list is made from the
/// vantrel:: names its objects define (cmake/vantrel_def.cmake).
#pragma once

/// \def VANTREL_API_BEGIN
/// Opens the part of a public header whose declarations a shared library exports.

/// \def VANTREL_API_END
/// Closes what VANTREL_API_BEGIN opened.

#if defined(__GNUC__) && !defined(_WIN32)
#define VANTREL_API_BEGIN _Pragma("GCC visibility push(default)")
#define VANTREL_API_END _Pragma("GCC visibility pop")
#else
#define VANTREL_API_BEGIN
#define VANTREL_API_END
#endif
