#pragma once
// The reason a page could not be opened, in the words the HTTP layer uses for the same failures.

#include <QString>

namespace BrowserLoadError {

enum class Domain { None, Internal, Connection, Certificate, Http, Ftp, Dns, HttpStatus };

// `code` is the network stack's error number (negative) or the HTTP status; `text` its own wording.
// Empty when the load succeeded (no domain, or an HTTP status below 400).
QString reason(Domain domain, int code, const QString &text);

} // namespace BrowserLoadError
