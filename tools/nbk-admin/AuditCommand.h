#pragma once
#include <QStringList>

namespace nbk::admin {

// nbk-admin audit --database DB --user U --password P [--since YYYY-MM-DD] [--login L]
// [--customer N]: the audit trail, one line per change, oldest first.
int runAudit(const QStringList &args);

extern const char *const kAuditUsage;

}  // namespace nbk::admin
