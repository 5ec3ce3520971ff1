#pragma once
#include <QString>
#include <optional>

// A typed route number as it may enter a statement: the number written from its value,
// or nothing when the text is not a number.
std::optional<QString> RouteNumberLiteral(const QString &typed);
