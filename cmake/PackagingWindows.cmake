# The Windows installer and zip (CPack NSIS and ZIP); filled in below.
