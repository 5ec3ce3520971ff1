#pragma once

namespace nbk::data::schema {

// The shape of the database this program reads and writes. Every change of tables,
// columns, indexes, rules or grants raises it and comes with an upgrade step from the
// version before.
inline constexpr int kCurrentVersion = 5;

}  // namespace nbk::data::schema
