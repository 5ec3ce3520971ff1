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
        <location filename="../src/reservation/SaveCustomer.cpp" line="19"/>
        <source>This reservation has been cancelled. Please make a new reservation </source>
        <translation>ಈ ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದಾಗಿದೆ. ದಯವಿಟ್ಟು ಹೊಸದಾಗಿ ಕಾಯ್ದಿರಿಸಿ </translation>
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
        <location filename="../src/reservation/ResolvePlace.cpp" line="63"/>
        <source>Requested place not found. Please check the spelling</source>
        <translation>ಕೇಳಿದ ಸ್ಥಳ ಸಿಗಲಿಲ್ಲ. ದಯವಿಟ್ಟು ಕಾಗುಣಿತವನ್ನು ಪರಿಶೀಲಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/reservation/FindBusInstances.cpp" line="249"/>
        <source>No Instances to service requested route. </source>
        <translation>ಕೇಳಿದ ಮಾರ್ಗದಲ್ಲಿ ಯಾವುದೇ ಬಸ್ ಸಂಚಾರವಿಲ್ಲ. </translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="37"/>
        <source>Error</source>
        <translation>ದೋಷ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="37"/>
        <source>Error.</source>
        <translation>ದೋಷ.</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="38"/>
        <source>Error. Invalid Date</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="38"/>
        <source>Error. Invalid Class</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದರ್ಜೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="39"/>
        <source>Information</source>
        <translation>ಮಾಹಿತಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="39"/>
        <source>Question</source>
        <translation>ಪ್ರಶ್ನೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="40"/>
        <source>Confirm</source>
        <translation>ದೃಢೀಕರಿಸಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="40"/>
        <source>Success</source>
        <translation>ಯಶಸ್ಸು</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="41"/>
        <source>Enquiry.</source>
        <translation>ವಿಚಾರಣೆ.</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="41"/>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="42"/>
        <source>OK</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="42"/>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="43"/>
        <source>&amp;Yes</source>
        <translation>ಹೌದು (&amp;Y)</translation>
    </message>
    <message>
        <location filename="../src/ui/Language.cpp" line="43"/>
        <source>&amp;No</source>
        <translation>ಇಲ್ಲ (&amp;N)</translation>
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
    <name>frmReservation</name>
    <message>
        <location filename="../src/reservation/screens/frmReservation.cpp" line="39"/>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
</context>
</TS>
