<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="kn_IN" sourcelanguage="en">
<context>
    <name>Instances</name>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="22"/>
        <source>Select Instance for reservation.</source>
        <translation>ಕಾಯ್ದಿರಿಸಲು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ.</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="23"/>
        <location filename="../src/reservation/screens/Instances.cpp" line="54"/>
        <source>Please select an instance for reservation</source>
        <translation>ದಯವಿಟ್ಟು ಕಾಯ್ದಿರಿಸಲು ಒಂದು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="29"/>
        <source>OK</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="31"/>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="53"/>
        <source>These are the available Routes</source>
        <translation>ಲಭ್ಯವಿರುವ ಮಾರ್ಗಗಳು ಇವು</translation>
    </message>
</context>
<context>
    <name>JourneyForm</name>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="53"/>
        <source>Journey Time Details</source>
        <translation>ಪ್ರಯಾಣದ ಸಮಯದ ವಿವರಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="61"/>
        <source> Allow to choose Instances</source>
        <translation> ಬಸ್ ಸಂಚಾರಗಳನ್ನು ಆರಿಸಲು ಬಿಡಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="65"/>
        <source> DD</source>
        <translation> ದಿನ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="66"/>
        <source> Month</source>
        <translation> ತಿಂಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="67"/>
        <source>     Year</source>
        <translation>     ವರ್ಷ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="68"/>
        <source>Date of Journey</source>
        <translation>ಪ್ರಯಾಣದ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="72"/>
        <source>  HH</source>
        <translation>  ಗಂಟೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="73"/>
        <source>Min</source>
        <translation>ನಿಮಿಷ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="74"/>
        <source>Time</source>
        <translation>ಸಮಯ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="80"/>
        <source>Journey Details</source>
        <translation>ಪ್ರಯಾಣದ ವಿವರಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="89"/>
        <source>Bus Class</source>
        <translation>ಬಸ್ ದರ್ಜೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="91"/>
        <source>No. of Seats</source>
        <translation>ಆಸನಗಳ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="93"/>
        <source>From</source>
        <translation>ಎಲ್ಲಿಂದ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="95"/>
        <source> To</source>
        <translation> ಎಲ್ಲಿಗೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="98"/>
        <source>Route Number</source>
        <translation>ಮಾರ್ಗ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="102"/>
        <source>Next &gt;&gt;</source>
        <translation>ಮುಂದೆ &gt;&gt;</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="104"/>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
</context>
<context>
    <name>Prompt</name>
    <message>
        <location filename="../src/reservation/screens/JourneyForm.cpp" line="145"/>
        <source>Please type the origin and destination places </source>
        <translation>ದಯವಿಟ್ಟು ಹೊರಡುವ ಮತ್ತು ತಲುಪುವ ಸ್ಥಳಗಳನ್ನು ಟೈಪ್ ಮಾಡಿ </translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/Instances.cpp" line="66"/>
        <source>Please select an instance before proceeding</source>
        <translation>ಮುಂದುವರಿಯುವ ಮೊದಲು ದಯವಿಟ್ಟು ಒಂದು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="27"/>
        <source>Cancel current reservation? </source>
        <translation>ಈಗಿನ ಕಾಯ್ದಿರಿಸುವಿಕೆಯನ್ನು ರದ್ದುಮಾಡಬೇಕೆ? </translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="39"/>
        <source>Select a Month and a Year</source>
        <translation>ತಿಂಗಳು ಮತ್ತು ವರ್ಷವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="46"/>
        <source>Invalid Date</source>
        <translation>ಅಮಾನ್ಯ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="51"/>
        <source>Invalid Hour</source>
        <translation>ಅಮಾನ್ಯ ಗಂಟೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="56"/>
        <source>Invalid Minutes</source>
        <translation>ಅಮಾನ್ಯ ನಿಮಿಷಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="60"/>
        <source>Select a Class and Number of Seats required</source>
        <translation>ದರ್ಜೆ ಮತ್ತು ಬೇಕಾದ ಆಸನಗಳ ಸಂಖ್ಯೆಯನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="68"/>
        <source>Invalid Date. The date you have specified has already passed.</source>
        <translation>ಅಮಾನ್ಯ ದಿನಾಂಕ. ನೀವು ನೀಡಿದ ದಿನಾಂಕ ಈಗಾಗಲೇ ಕಳೆದುಹೋಗಿದೆ.</translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="73"/>
        <source>Sorry, Reservation cannot be made for more then 45 days in advance. <byte value="xd"/>
Please change the date if you wish to retry. </source>
        <translation>ಕ್ಷಮಿಸಿ, 45 ದಿನಗಳಿಗಿಂತ ಹೆಚ್ಚು ಮುಂಚಿತವಾಗಿ ಕಾಯ್ದಿರಿಸಲು ಸಾಧ್ಯವಿಲ್ಲ. <byte value="xd"/>
ಮತ್ತೆ ಪ್ರಯತ್ನಿಸಲು ದಯವಿಟ್ಟು ದಿನಾಂಕವನ್ನು ಬದಲಿಸಿ. </translation>
    </message>
    <message>
        <location filename="../src/reservation/JourneyChecks.cpp" line="87"/>
        <source>Reserve %1 seats on one ticket? </source>
        <translation>ಒಂದೇ ಟಿಕೆಟ್‌ನಲ್ಲಿ %1 ಆಸನಗಳನ್ನು ಕಾಯ್ದಿರಿಸಬೇಕೆ? </translation>
    </message>
    <message>
        <location filename="../src/reservation/CustomerEntry.cpp" line="6"/>
        <source>Error in age entry </source>
        <translation>ವಯಸ್ಸಿನ ನಮೂದಿನಲ್ಲಿ ದೋಷ </translation>
    </message>
    <message>
        <location filename="../src/reservation/CustomerEntry.cpp" line="7"/>
        <source>Error in phone entry </source>
        <translation>ದೂರವಾಣಿ ಸಂಖ್ಯೆಯ ನಮೂದಿನಲ್ಲಿ ದೋಷ </translation>
    </message>
    <message>
        <location filename="../src/reservation/CustomerEntry.cpp" line="9"/>
        <source>Error in name entry: the name holds a control character (such as a tab, an escape or a line break). Please type the name again </source>
        <translation>ಹೆಸರಿನ ನಮೂದಿನಲ್ಲಿ ದೋಷ: ಹೆಸರಿನಲ್ಲಿ ನಿಯಂತ್ರಣ ಅಕ್ಷರವಿದೆ (ಟ್ಯಾಬ್, ಎಸ್ಕೇಪ್ ಅಥವಾ ಸಾಲು ಮುರಿತದಂತಹ). ದಯವಿಟ್ಟು ಹೆಸರನ್ನು ಮತ್ತೆ ಟೈಪ್ ಮಾಡಿ </translation>
    </message>
    <message>
        <location filename="../src/reservation/SaveCustomer.cpp" line="14"/>
        <source>The fare of this reservation is too large to be recorded. Please check the fares of the route and class </source>
        <translation>ಈ ಕಾಯ್ದಿರಿಸುವಿಕೆಯ ದರ ದಾಖಲಿಸಲು ತುಂಬಾ ದೊಡ್ಡದು. ದಯವಿಟ್ಟು ಮಾರ್ಗ ಮತ್ತು ದರ್ಜೆಯ ದರಗಳನ್ನು ಪರಿಶೀಲಿಸಿ </translation>
    </message>
    <message>
        <location filename="../src/reservation/SaveCustomer.cpp" line="16"/>
        <source> Error updating database (Reservation Cancelled) . Please try later or report to supervisor </source>
        <translation> ದತ್ತಸಂಚಯವನ್ನು ನವೀಕರಿಸುವಲ್ಲಿ ದೋಷ (ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದಾಗಿದೆ) . ದಯವಿಟ್ಟು ನಂತರ ಪ್ರಯತ್ನಿಸಿ ಅಥವಾ ಮೇಲ್ವಿಚಾರಕರಿಗೆ ತಿಳಿಸಿ </translation>
    </message>
    <message>
        <location filename="../src/reservation/SaveCustomer.cpp" line="19"/>
        <source>This reservation has been cancelled. Please make a new reservation </source>
        <translation>ಈ ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದಾಗಿದೆ. ದಯವಿಟ್ಟು ಹೊಸದಾಗಿ ಕಾಯ್ದಿರಿಸಿ </translation>
    </message>
    <message>
        <location filename="../src/reservation/SaveCustomer.cpp" line="20"/>
        <source>Update complete.</source>
        <translation>ನವೀಕರಣ ಪೂರ್ಣಗೊಂಡಿದೆ.</translation>
    </message>
    <message>
        <location filename="../src/reservation/SaveCustomer.cpp" line="23"/>
        <source>Customer no. %1: the ticket and any cancellation ask for this number.</source>
        <translation>ಗ್ರಾಹಕ ಸಂಖ್ಯೆ %1: ಟಿಕೆಟ್ ಮತ್ತು ಯಾವುದೇ ರದ್ದತಿಗೆ ಈ ಸಂಖ್ಯೆ ಬೇಕು.</translation>
    </message>
    <message>
        <location filename="../src/reservation/BookSeats.cpp" line="21"/>
        <source>Cancelling reservation due to non availablity of seats</source>
        <translation>ಆಸನಗಳು ಲಭ್ಯವಿಲ್ಲದ ಕಾರಣ ಕಾಯ್ದಿರಿಸುವಿಕೆಯನ್ನು ರದ್ದುಮಾಡಲಾಗುತ್ತಿದೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/BookSeats.cpp" line="22"/>
        <source>Reservation Successful</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ ಯಶಸ್ವಿಯಾಗಿದೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/BookSeats.cpp" line="112"/>
        <source>%1 seats were picked for a reservation of %2.</source>
        <translation>%2 ಆಸನಗಳ ಕಾಯ್ದಿರಿಸುವಿಕೆಗೆ %1 ಆಸನಗಳನ್ನು ಆರಿಸಲಾಗಿದೆ.</translation>
    </message>
    <message>
        <location filename="../src/reservation/BookSeats.cpp" line="116"/>
        <source>Seat %1 is not free on this journey.</source>
        <translation>ಆಸನ %1 ಈ ಪ್ರಯಾಣದಲ್ಲಿ ಖಾಲಿ ಇಲ್ಲ.</translation>
    </message>
    <message>
        <location filename="../src/reservation/BookSeats.cpp" line="133"/>
        <source>A reservation can hold 1 to %1 seats.</source>
        <translation>ಒಂದು ಕಾಯ್ದಿರಿಸುವಿಕೆಯಲ್ಲಿ 1 ರಿಂದ %1 ಆಸನಗಳು ಇರಬಹುದು.</translation>
    </message>
    <message>
        <location filename="../src/reservation/ResolvePlace.cpp" line="63"/>
        <source>Requested place not found. Please check the spelling</source>
        <translation>ಕೇಳಿದ ಸ್ಥಳ ಸಿಗಲಿಲ್ಲ. ದಯವಿಟ್ಟು ಕಾಗುಣಿತವನ್ನು ಪರಿಶೀಲಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/FindBusInstances.cpp" line="250"/>
        <source>No Instances to service requested route. </source>
        <translation>ಕೇಳಿದ ಮಾರ್ಗದಲ್ಲಿ ಯಾವುದೇ ಬಸ್ ಸಂಚಾರವಿಲ್ಲ. </translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="157"/>
        <source>Error</source>
        <translation>ದೋಷ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="157"/>
        <source>Error.</source>
        <translation>ದೋಷ.</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="158"/>
        <source>Error. Invalid Date</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="158"/>
        <source>Error. Invalid Class</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದರ್ಜೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="159"/>
        <source>Information</source>
        <translation>ಮಾಹಿತಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="159"/>
        <source>Question</source>
        <translation>ಪ್ರಶ್ನೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="160"/>
        <source>Confirm</source>
        <translation>ದೃಢೀಕರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="160"/>
        <source>Success</source>
        <translation>ಯಶಸ್ಸು</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="161"/>
        <source>Enquiry.</source>
        <translation>ವಿಚಾರಣೆ.</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="161"/>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="162"/>
        <source>OK</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="162"/>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="163"/>
        <source>&amp;Yes</source>
        <translation>ಹೌದು (&amp;Y)</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="163"/>
        <source>&amp;No</source>
        <translation>ಇಲ್ಲ (&amp;N)</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="24"/>
        <source>Invalid Customer Id ( Enter only numerals) </source>
        <translation>ಅಮಾನ್ಯ ಗ್ರಾಹಕ ಸಂಖ್ಯೆ ( ಅಂಕಿಗಳನ್ನು ಮಾತ್ರ ನಮೂದಿಸಿ) </translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="25"/>
        <source>Customer detail under update. Please try later </source>
        <translation>ಗ್ರಾಹಕರ ವಿವರ ನವೀಕರಣದಲ್ಲಿದೆ. ದಯವಿಟ್ಟು ನಂತರ ಪ್ರಯತ್ನಿಸಿ </translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="26"/>
        <source>Customer Id not found in data base</source>
        <translation>ಗ್ರಾಹಕ ಸಂಖ್ಯೆ ದತ್ತಸಂಚಯದಲ್ಲಿ ಸಿಗಲಿಲ್ಲ</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="27"/>
        <source>  Cancel Done </source>
        <translation>  ರದ್ದತಿ ಮುಗಿದಿದೆ </translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="28"/>
        <source>%1 seats deleted</source>
        <translation>%1 ಆಸನಗಳನ್ನು ತೆಗೆದುಹಾಕಲಾಗಿದೆ</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="29"/>
        <source>Cancellation failed. Nothing has been changed. Please try later or report to supervisor </source>
        <translation>ರದ್ದತಿ ವಿಫಲವಾಗಿದೆ. ಏನನ್ನೂ ಬದಲಿಸಿಲ್ಲ. ದಯವಿಟ್ಟು ನಂತರ ಪ್ರಯತ್ನಿಸಿ ಅಥವಾ ಮೇಲ್ವಿಚಾರಕರಿಗೆ ತಿಳಿಸಿ </translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="32"/>
        <source>Are you sure to cancel customer no. %1</source>
        <translation>ಗ್ರಾಹಕ ಸಂಖ್ಯೆ %1 ಅನ್ನು ರದ್ದುಮಾಡಬೇಕೆ?</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="33"/>
        <source>Passenger: %1</source>
        <translation>ಪ್ರಯಾಣಿಕರು: %1</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="34"/>
        <source>Run %1</source>
        <translation>ಸಂಚಾರ %1</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="35"/>
        <source>Run %1, journey %2</source>
        <translation>ಸಂಚಾರ %1, ಪ್ರಯಾಣ %2</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="36"/>
        <source>Seats to cancel: %1 (the whole booking)</source>
        <translation>ರದ್ದುಮಾಡುವ ಆಸನಗಳು: %1 (ಇಡೀ ಕಾಯ್ದಿರಿಸುವಿಕೆ)</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="37"/>
        <source>Seats to cancel: %1 (%2 of %3 seats)</source>
        <translation>ರದ್ದುಮಾಡುವ ಆಸನಗಳು: %1 (%3 ಆಸನಗಳಲ್ಲಿ %2)</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="38"/>
        <source>Fare of these seats: ₹ %1</source>
        <translation>ಈ ಆಸನಗಳ ದರ: ₹ %1</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="39"/>
        <source>Cancellation charge: ₹ %1 (%2% after departure)</source>
        <translation>ರದ್ದತಿ ಶುಲ್ಕ: ₹ %1 (ಹೊರಟ ನಂತರ %2%)</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="41"/>
        <source>Cancellation charge: ₹ %1 (%2% at %3 hours before departure)</source>
        <translation>ರದ್ದತಿ ಶುಲ್ಕ: ₹ %1 (ಹೊರಡುವ %3 ಗಂಟೆಗಳ ಮೊದಲು %2%)</translation>
    </message>
    <message>
        <location filename="../src/operations/CancelReservation.cpp" line="42"/>
        <source>Amount to refund: ₹ %1</source>
        <translation>ಹಿಂದಿರುಗಿಸುವ ಮೊತ್ತ: ₹ %1</translation>
    </message>
    <message>
        <location filename="../src/reservation/FareCategories.cpp" line="15"/>
        <source>Seat %1: there is no fare category %2 </source>
        <translation>ಆಸನ %1: %2 ಎಂಬ ದರ ವರ್ಗವಿಲ್ಲ </translation>
    </message>
    <message>
        <location filename="../src/reservation/FareCategories.cpp" line="20"/>
        <source>Seat %1: the age of a passenger of category %2 is %3 to %4 </source>
        <translation>ಆಸನ %1: %2 ವರ್ಗದ ಪ್ರಯಾಣಿಕರ ವಯಸ್ಸು %3 ರಿಂದ %4 </translation>
    </message>
</context>
<context>
    <name>frmCancel</name>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="23"/>
        <source>Cancel Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="24"/>
        <source>Enter details to cancel</source>
        <translation>ರದ್ದುಮಾಡಲು ವಿವರಗಳನ್ನು ನಮೂದಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="31"/>
        <source>Customer ID</source>
        <translation>ಗ್ರಾಹಕ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="35"/>
        <source>Number of seats to cancel</source>
        <translation>ರದ್ದುಮಾಡುವ ಆಸನಗಳ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="39"/>
        <source>Cancel Tickets</source>
        <translation>ಟಿಕೆಟ್‌ಗಳನ್ನು ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="41"/>
        <source>Exit without Cancel</source>
        <translation>ರದ್ದುಮಾಡದೆ ಹೊರನಡೆ</translation>
    </message>
    <message>
        <location filename="../src/operations/screens/frmCancel.cpp" line="71"/>
        <location filename="../src/operations/screens/frmCancel.cpp" line="87"/>
        <source>All</source>
        <translation>ಎಲ್ಲಾ</translation>
    </message>
</context>
<context>
    <name>frmCustomer</name>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="38"/>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="43"/>
        <source>From</source>
        <translation>ಎಲ್ಲಿಂದ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="44"/>
        <source>To</source>
        <translation>ಎಲ್ಲಿಗೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="45"/>
        <source>Departs</source>
        <translation>ಹೊರಡುವ ಸಮಯ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="46"/>
        <source>Bus run</source>
        <translation>ಬಸ್ ಸಂಚಾರ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="47"/>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="126"/>
        <source>Seats</source>
        <translation>ಆಸನಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="48"/>
        <source>Fare</source>
        <translation>ದರ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="67"/>
        <source>Customer Details</source>
        <translation>ಗ್ರಾಹಕರ ವಿವರಗಳು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="69"/>
        <source>Customer Details Form</source>
        <translation>ಗ್ರಾಹಕರ ವಿವರಗಳ ನಮೂನೆ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="85"/>
        <source>Ok</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="87"/>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="91"/>
        <source>Name </source>
        <translation>ಹೆಸರು </translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="93"/>
        <source>Phone</source>
        <translation>ದೂರವಾಣಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="95"/>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="107"/>
        <source>Age</source>
        <translation>ವಯಸ್ಸು</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="97"/>
        <source>Gender</source>
        <translation>ಲಿಂಗ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="107"/>
        <source>Seat</source>
        <translation>ಆಸನ</translation>
    </message>
    <message>
        <location filename="../src/reservation/screens/frmCustomer.cpp" line="107"/>
        <source>Category</source>
        <translation>ವರ್ಗ</translation>
    </message>
</context>
<context>
    <name>frmEnquiry</name>
    <message>
        <location filename="../src/operations/screens/frmEnquiry.cpp" line="38"/>
        <source>Enquiry</source>
        <translation>ವಿಚಾರಣೆ</translation>
    </message>
</context>
<context>
    <name>frmReservation</name>
    <message>
        <location filename="../src/reservation/screens/frmReservation.cpp" line="40"/>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
</context>
<context>
    <name>nbk::app::MDIForm1</name>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="102"/>
        <source>&amp;Connection</source>
        <translation>ಸಂಪರ್ಕ (&amp;C)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="103"/>
        <source>Connect to &amp;Server</source>
        <translation>ಸರ್ವರ್‌ಗೆ ಸಂಪರ್ಕಿಸಿ (&amp;S)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="105"/>
        <source>&amp;Disconnect from Server</source>
        <translation>ಸರ್ವರ್‌ನಿಂದ ಸಂಪರ್ಕ ಕಡಿತಗೊಳಿಸಿ (&amp;D)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="108"/>
        <source>E&amp;xit</source>
        <translation>ನಿರ್ಗಮಿಸಿ (&amp;X)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="110"/>
        <source>&amp;Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ (&amp;R)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="111"/>
        <source>&amp;Make Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸಿ (&amp;M)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="113"/>
        <source>Ca&amp;ncel Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದುಮಾಡಿ (&amp;N)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="115"/>
        <source>&amp;Find Booking</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ ಹುಡುಕಿ (&amp;F)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="118"/>
        <source>&amp;Enquiry</source>
        <translation>ವಿಚಾರಣೆ (&amp;E)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="120"/>
        <source> Route-&amp;Management </source>
        <translation> ಮಾರ್ಗ ನಿರ್ವಹಣೆ (&amp;M) </translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="121"/>
        <source>Ro&amp;ute               </source>
        <translation>ಮಾರ್ಗ (&amp;U)               </translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="122"/>
        <source>&amp;Add Route</source>
        <translation>ಮಾರ್ಗ ಸೇರಿಸಿ (&amp;A)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="123"/>
        <source>&amp;Delete Route</source>
        <translation>ಮಾರ್ಗ ಅಳಿಸಿ (&amp;D)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="125"/>
        <source>&amp;Edit Route</source>
        <translation>ಮಾರ್ಗ ಬದಲಿಸಿ (&amp;E)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="127"/>
        <source>&amp;Charges and Fare Categories</source>
        <translation>ಶುಲ್ಕಗಳು ಮತ್ತು ದರ ವರ್ಗಗಳು (&amp;C)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="130"/>
        <source>Report&amp;s</source>
        <translation>ವರದಿಗಳು (&amp;S)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="131"/>
        <source>&amp;Current Ticket</source>
        <translation>ಈಗಿನ ಟಿಕೆಟ್ (&amp;C)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="132"/>
        <source>Reservation S&amp;tatus</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆಯ ಸ್ಥಿತಿ (&amp;T)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="134"/>
        <source>&amp;Passenger List</source>
        <translation>ಪ್ರಯಾಣಿಕರ ಪಟ್ಟಿ (&amp;P)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="137"/>
        <source>Conductor&apos;s Mani&amp;fest</source>
        <translation>ನಿರ್ವಾಹಕರ ಪ್ರಯಾಣಿಕ ಪಟ್ಟಿ (&amp;F)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="139"/>
        <source>Tim&amp;e Table</source>
        <translation>ವೇಳಾಪಟ್ಟಿ (&amp;E)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="140"/>
        <source>Bus Seat &amp;Matrix</source>
        <translation>ಬಸ್ ಆಸನ ನಕ್ಷೆ (&amp;M)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="142"/>
        <source>Bus Route Ma&amp;p</source>
        <translation>ಬಸ್ ಮಾರ್ಗ ನಕ್ಷೆ (&amp;P)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="144"/>
        <source>Accide&amp;nt Report </source>
        <translation>ಅಪಘಾತ ವರದಿ (&amp;N) </translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="145"/>
        <source>&amp;Day Statement</source>
        <translation>ದಿನದ ಲೆಕ್ಕ (&amp;D)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="147"/>
        <source>C&amp;lose Shift</source>
        <translation>ಪಾಳಿ ಮುಕ್ತಾಯ (&amp;L)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="149"/>
        <source>&amp;Help</source>
        <translation>ಸಹಾಯ (&amp;H)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="150"/>
        <source>C&amp;ontents</source>
        <translation>ಪರಿವಿಡಿ (&amp;O)</translation>
    </message>
    <message>
        <location filename="../src/app/MDIForm1.cpp" line="151"/>
        <source>&amp;About</source>
        <translation>ಕುರಿತು (&amp;A)</translation>
    </message>
</context>
</TS>
