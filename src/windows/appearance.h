#pragma once

#include <QFont>

namespace vellumo {

// The program's default font: small enough that every caption fits the
// fixed layouts, which are measured in pixels.
QFont programFont();

} // namespace vellumo
