# Every one of the 16 static DHCP pool slots is in use (printers, servers, phones at
# 192.168.0.20-35): adding another static entry finds no free slot.
include default

table 1.3.6.1.4.1.32473.11.37.4.2.7.3.1 dhcpstatic
column 1 ipaddress rw
column 2 octetstr rw size=6..6
column 3 ipaddress rw
column 4 ipaddress rw
column 5 ipaddress rw
column 6 ipaddress rw
column 7 displaystr rw size=0..63
column 8 integer rw enum=0,1
row 1 192.168.0.20 000D5604A1B2 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 2 192.168.0.21 0017A4C0FF01 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 3 192.168.0.22 0011856B2C10 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 4 192.168.0.23 001560D2A7E3 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 5 192.168.0.24 0013729F0C44 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 6 192.168.0.25 00E018B3D901 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 7 192.168.0.26 0016353E7A12 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 0
row 8 192.168.0.27 001BFC2281C6 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 9 192.168.0.28 000C6E4F3B28 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 10 192.168.0.29 00179A6C5DD0 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 11 192.168.0.30 0012F0A18B55 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 12 192.168.0.31 00199DE03F07 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 13 192.168.0.32 001A4B77C2E9 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 14 192.168.0.33 000F1FB04D63 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 15 192.168.0.34 0014221A9E8F 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 16 192.168.0.35 0018F3C6B310 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
end
