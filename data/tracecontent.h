#pragma once

#include <QString>

// Why the file at `path` does not look like a trace file, in words for a message; empty when it
// does, and when it cannot be read (fileReadProblem() tells that). Only its beginning is read: a
// NUL byte in the first 64 KiB of a file without a UTF-16/32 byte order mark, or data lines (the
// first 1,000) that have cells and not one cell that starts like a number. A header alone is fine.
QString traceContentProblem(const QString& path);
