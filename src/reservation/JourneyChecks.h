#pragma once
#include "common/Notice.h"

#include <QDate>
#include <QString>
#include <optional>

// The same controls as typed or chosen: list texts and the month's position.
struct JourneyTyped {
    QString monthText, yearText;
    int monthIndex = -1;
    QString day, hour, minute;
    QString seatsText, classText;
};

struct JourneyTime {
    QDate date;
    int hour = 0;
    int minute = 0;
};

// A booking holds at most this many seats (the seats it picks are kept in 31 places).
inline constexpr int kMaxSeatsPerBooking = 31;
// More seats than a family usually takes: such a request is asked about once.
inline constexpr int kUsualPartySeats = 6;

// The question a request for more than kUsualPartySeats seats asks before anything is
// searched or booked; nothing for a usual party.
std::optional<nbk::Notice> LargeBookingQuestion(int seats);
// The same checks without a screen: *focus (if given) names the box to correct, or is
// None when the message names no box.
std::optional<JourneyTime> CheckJourneyTime(const JourneyTyped &t, nbk::Focus *focus = nullptr);
