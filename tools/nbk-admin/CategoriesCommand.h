#pragma once
#include <QStringList>

namespace nbk::admin {

// The fare categories: those on file, set or withdrawn by the supervisor.
int runCategories(const QStringList &args);

extern const char *const kCategoriesUsage;

}  // namespace nbk::admin
