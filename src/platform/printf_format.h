#pragma once

// Marks a printf-style function so the compiler checks its arguments. The
// formats are C99's on every system (mingw's C++ runtime uses its own C99
// printf); its plain "printf" check would hold them to the old Windows
// runtime instead, which knows no %zu or %lld.
#if defined(__MINGW32__)
#define TARVEL_PRINTF(format_index, first_arg) \
    __attribute__((format(gnu_printf, format_index, first_arg)))
#else
#define TARVEL_PRINTF(format_index, first_arg) \
    __attribute__((format(printf, format_index, first_arg)))
#endif
