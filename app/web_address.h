#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace qingxiu {

// The project's web address, shown and opened by the about window's link. It is written as a
// user types it into a browser, without the scheme, so that it fits the link box's 112 pixels in
// the default font.
inline const QString kProjectAddress = QStringLiteral("qingxiu.example");

// Opens the address in the user's browser: through the platform's default handler, or else
// through the command the desktop has registered for HTML documents. An address without a scheme
// is taken as a browser takes it (http). False when both fail.
bool openWebAddress(const QString& address);

// The command line the desktop has registered for opening HTML documents, if any. This is the
// one place that knows how the platform records it.
std::optional<QString> registeredHtmlCommand();

// The program and arguments that open the address with such a command line: the line is split
// into words as desktop entries quote them, cut at its first file or URL field code (%f %F %u
// %U), and the address appended. Other field codes are dropped and "%%" is a percent sign.
// Empty when the line names no program.
QStringList commandForAddress(const QString& commandLine, const QString& address);

}  // namespace qingxiu
