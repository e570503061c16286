#pragma once

#include <QString>

// Why `path` cannot be read as a file, in words for a message ("no such file", "is not a regular
// file", "is not readable"); empty when it can. Symbolic links are followed to their target. The
// file is never opened, so a FIFO or a device can never block or flood the caller.
QString fileReadProblem(const QString& path);
