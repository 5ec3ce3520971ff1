<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="kn_IN" sourcelanguage="en">
<context>
    <name>JourneyForm</name>
    <message>
        <source>Journey Time Details</source>
        <translation>ಪ್ರಯಾಣದ ಸಮಯದ ವಿವರಗಳು</translation>
    </message>
    <message>
        <source> Allow to choose Instances</source>
        <translation> ಬಸ್ ಸಂಚಾರಗಳನ್ನು ಆರಿಸಲು ಬಿಡಿ</translation>
    </message>
    <message>
        <source> DD</source>
        <translation> ದಿನ</translation>
    </message>
    <message>
        <source> Month</source>
        <translation> ತಿಂಗಳು</translation>
    </message>
    <message>
        <source>     Year</source>
        <translation>     ವರ್ಷ</translation>
    </message>
    <message>
        <source>Date of Journey</source>
        <translation>ಪ್ರಯಾಣದ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <source>  HH</source>
        <translation>  ಗಂಟೆ</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>ನಿಮಿಷ</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>ಸಮಯ</translation>
    </message>
    <message>
        <source>Journey Details</source>
        <translation>ಪ್ರಯಾಣದ ವಿವರಗಳು</translation>
    </message>
    <message>
        <source>Bus Class</source>
        <translation>ಬಸ್ ದರ್ಜೆ</translation>
    </message>
    <message>
        <source>No. of Seats</source>
        <translation>ಆಸನಗಳ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <source>From</source>
        <translation>ಎಲ್ಲಿಂದ</translation>
    </message>
    <message>
        <source> To</source>
        <translation> ಎಲ್ಲಿಗೆ</translation>
    </message>
    <message>
        <source>Route Number</source>
        <translation>ಮಾರ್ಗ ಸಂಖ್ಯೆ</translation>
    </message>
    <message>
        <source>Next &gt;&gt;</source>
        <translation>ಮುಂದೆ &gt;&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
</context>
<context>
    <name>frmReservation</name>
    <message>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
</context>
<context>
    <name>Instances</name>
    <message>
        <source>Select Instance for reservation.</source>
        <translation>ಕಾಯ್ದಿರಿಸಲು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ.</translation>
    </message>
    <message>
        <source>Please select an instance for reservation</source>
        <translation>ದಯವಿಟ್ಟು ಕಾಯ್ದಿರಿಸಲು ಒಂದು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <source>These are the available Routes</source>
        <translation>ಲಭ್ಯವಿರುವ ಮಾರ್ಗಗಳು ಇವು</translation>
    </message>
</context>
<context>
    <name>frmCustomer</name>
    <message>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
    <message>
        <source>From</source>
        <translation>ಎಲ್ಲಿಂದ</translation>
    </message>
    <message>
        <source>To</source>
        <translation>ಎಲ್ಲಿಗೆ</translation>
    </message>
    <message>
        <source>Departs</source>
        <translation>ಹೊರಡುವ ಸಮಯ</translation>
    </message>
    <message>
        <source>Bus run</source>
        <translation>ಬಸ್ ಸಂಚಾರ</translation>
    </message>
    <message>
        <source>Seats</source>
        <translation>ಆಸನಗಳು</translation>
    </message>
    <message>
        <source>Fare</source>
        <translation>ದರ</translation>
    </message>
    <message>
        <source>Customer Details</source>
        <translation>ಗ್ರಾಹಕರ ವಿವರಗಳು</translation>
    </message>
    <message>
        <source>Customer Details Form</source>
        <translation>ಗ್ರಾಹಕರ ವಿವರಗಳ ನಮೂನೆ</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <source>Name </source>
        <translation>ಹೆಸರು </translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>ದೂರವಾಣಿ</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>ವಯಸ್ಸು</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>ಲಿಂಗ</translation>
    </message>
    <message>
        <source>Seat</source>
        <translation>ಆಸನ</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>ವರ್ಗ</translation>
    </message>
</context>
<context>
    <name>Prompt</name>
    <message>
        <source>Please type the origin and destination places </source>
        <translation>ದಯವಿಟ್ಟು ಹೊರಡುವ ಮತ್ತು ತಲುಪುವ ಸ್ಥಳಗಳನ್ನು ಟೈಪ್ ಮಾಡಿ </translation>
    </message>
    <message>
        <source>Please select an instance before proceeding</source>
        <translation>ಮುಂದುವರಿಯುವ ಮೊದಲು ದಯವಿಟ್ಟು ಒಂದು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <source>Cancel current reservation? </source>
        <translation>ಈಗಿನ ಕಾಯ್ದಿರಿಸುವಿಕೆಯನ್ನು ರದ್ದುಮಾಡಬೇಕೆ? </translation>
    </message>
    <message>
        <source>Select a Month and a Year</source>
        <translation>ತಿಂಗಳು ಮತ್ತು ವರ್ಷವನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <source>Invalid Date</source>
        <translation>ಅಮಾನ್ಯ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <source>Invalid Hour</source>
        <translation>ಅಮಾನ್ಯ ಗಂಟೆ</translation>
    </message>
    <message>
        <source>Invalid Minutes</source>
        <translation>ಅಮಾನ್ಯ ನಿಮಿಷಗಳು</translation>
    </message>
    <message>
        <source>Select a Class and Number of Seats required</source>
        <translation>ದರ್ಜೆ ಮತ್ತು ಬೇಕಾದ ಆಸನಗಳ ಸಂಖ್ಯೆಯನ್ನು ಆರಿಸಿ</translation>
    </message>
    <message>
        <source>Invalid Date. The date you have specified has already passed.</source>
        <translation>ಅಮಾನ್ಯ ದಿನಾಂಕ. ನೀವು ನೀಡಿದ ದಿನಾಂಕ ಈಗಾಗಲೇ ಕಳೆದುಹೋಗಿದೆ.</translation>
    </message>
    <message>
        <source>Sorry, Reservation cannot be made for more then 45 days in advance. &#xd;
Please change the date if you wish to retry. </source>
        <translation>ಕ್ಷಮಿಸಿ, 45 ದಿನಗಳಿಗಿಂತ ಹೆಚ್ಚು ಮುಂಚಿತವಾಗಿ ಕಾಯ್ದಿರಿಸಲು ಸಾಧ್ಯವಿಲ್ಲ. &#xd;
ಮತ್ತೆ ಪ್ರಯತ್ನಿಸಲು ದಯವಿಟ್ಟು ದಿನಾಂಕವನ್ನು ಬದಲಿಸಿ. </translation>
    </message>
    <message>
        <source>Error in age entry </source>
        <translation>ವಯಸ್ಸಿನ ನಮೂದಿನಲ್ಲಿ ದೋಷ </translation>
    </message>
    <message>
        <source>Error in phone entry </source>
        <translation>ದೂರವಾಣಿ ಸಂಖ್ಯೆಯ ನಮೂದಿನಲ್ಲಿ ದೋಷ </translation>
    </message>
    <message>
        <source>Error in name entry: the name holds a control character (such as a tab, an escape or a line break). Please type the name again </source>
        <translation>ಹೆಸರಿನ ನಮೂದಿನಲ್ಲಿ ದೋಷ: ಹೆಸರಿನಲ್ಲಿ ನಿಯಂತ್ರಣ ಅಕ್ಷರವಿದೆ (ಟ್ಯಾಬ್, ಎಸ್ಕೇಪ್ ಅಥವಾ ಸಾಲು ಮುರಿತದಂತಹ). ದಯವಿಟ್ಟು ಹೆಸರನ್ನು ಮತ್ತೆ ಟೈಪ್ ಮಾಡಿ </translation>
    </message>
    <message>
        <source>This reservation has been cancelled. Please make a new reservation </source>
        <translation>ಈ ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದಾಗಿದೆ. ದಯವಿಟ್ಟು ಹೊಸದಾಗಿ ಕಾಯ್ದಿರಿಸಿ </translation>
    </message>
    <message>
        <source>Cancelling reservation due to non availablity of seats</source>
        <translation>ಆಸನಗಳು ಲಭ್ಯವಿಲ್ಲದ ಕಾರಣ ಕಾಯ್ದಿರಿಸುವಿಕೆಯನ್ನು ರದ್ದುಮಾಡಲಾಗುತ್ತಿದೆ</translation>
    </message>
    <message>
        <source>Reservation Successful</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ ಯಶಸ್ವಿಯಾಗಿದೆ</translation>
    </message>
    <message>
        <source>Requested place not found. Please check the spelling</source>
        <translation>ಕೇಳಿದ ಸ್ಥಳ ಸಿಗಲಿಲ್ಲ. ದಯವಿಟ್ಟು ಕಾಗುಣಿತವನ್ನು ಪರಿಶೀಲಿಸಿ</translation>
    </message>
    <message>
        <source>No Instances to service requested route. </source>
        <translation>ಕೇಳಿದ ಮಾರ್ಗದಲ್ಲಿ ಯಾವುದೇ ಬಸ್ ಸಂಚಾರವಿಲ್ಲ. </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>ದೋಷ</translation>
    </message>
    <message>
        <source>Error.</source>
        <translation>ದೋಷ.</translation>
    </message>
    <message>
        <source>Error. Invalid Date</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದಿನಾಂಕ</translation>
    </message>
    <message>
        <source>Error. Invalid Class</source>
        <translation>ದೋಷ. ಅಮಾನ್ಯ ದರ್ಜೆ</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>ಮಾಹಿತಿ</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>ಪ್ರಶ್ನೆ</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>ದೃಢೀಕರಿಸಿ</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>ಯಶಸ್ಸು</translation>
    </message>
    <message>
        <source>Enquiry.</source>
        <translation>ವಿಚಾರಣೆ.</translation>
    </message>
    <message>
        <source>Reservation</source>
        <translation>ಕಾಯ್ದಿರಿಸುವಿಕೆ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ಸರಿ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>ರದ್ದುಮಾಡಿ</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>ಹೌದು (&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>ಇಲ್ಲ (&amp;N)</translation>
    </message>
</context>
</TS>
