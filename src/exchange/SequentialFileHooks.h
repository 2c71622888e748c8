#pragma once

#include <shapefil.h>

// File hooks for shapelib that make record-by-record reading and writing buffered: shapelib
// seeks to every record before it reads or writes it, and a seek empties the C library's buffer,
// so each record would cost a system call. These hooks skip a seek to where the file already
// is, and seek for real whenever the direction changes, as the C library requires.
namespace SequentialFileHooks {

SAHooks hooks();

} // namespace SequentialFileHooks
