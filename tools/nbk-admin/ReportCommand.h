#pragma once
#include <QStringList>

namespace nbk::admin {

// nbk-admin report --database DB --user U --password P --pdf FILE NAME [VALUE [LOGIN]]: the same
// procedures and designs as the report screens, written to a PDF. Where a screen would
// show a message instead of the report, the message goes to standard error and the exit
// code is 1. Needs a QGuiApplication.
int runReport(const QStringList &args);

// The report names and what their VALUE is, for the usage text.
extern const char *const kReportUsage;

}  // namespace nbk::admin
