#pragma once
#include "common/Notice.h"
#include "data/definition/Definition.h"

#include <QString>
#include <optional>

// What is wrong with the passenger's details as typed: the message the clerk sees and the
// box that needs correcting.
struct EntryProblem {
    QString message;
    nbk::Focus field = nbk::Focus::None;
};

// The details as they go into the customer row. The phone stays as typed (leading zero,
// leading + and the blanks or dashes between the digit groups), only surrounding blanks
// dropped; the age is a whole number.
struct CustomerEntry {
    QString name;
    QString phone;
    int age = 0;
};

// At most this many digits: the longest number the international plan allows.
inline constexpr int kMaxPhoneDigits = 15;
// Whole years; beyond this the age is a typing error (and the database refuses it).
inline constexpr int kMaxAge = nbk::data::schema::kMaxAgeYears;

// Checks the passenger's details in the order the clerk is told about them (age, phone,
// name); nothing when they can be saved, and then `entry` (if given) holds the values to
// save.
std::optional<EntryProblem> CheckCustomerEntry(const QString &name, const QString &phone, const QString &age,
                                               CustomerEntry *entry = nullptr);

// True when the text holds a character that would break a line or a tab-separated field
// (the control characters, and the Unicode line and paragraph separators).
bool HoldsControlCharacter(const QString &text);
