// Standard output and standard error of vellumo-screenshots. Every part of
// the program writes through these two streams, so that what it prints comes
// out in the order it was written.

#pragma once

#include <QTextStream>

#include <cstdio>

namespace screenshots {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace screenshots
