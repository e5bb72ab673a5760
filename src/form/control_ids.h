// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Control IDs of the main form. Every command reaches its controls by these IDs.
namespace quarnel::ctl {

// Commands
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Top row
inline constexpr int GetParameterButton = 1001;
inline constexpr int SetParameterButton = 1002;
inline constexpr int GetGpsLogButton = 1003;
inline constexpr int UpdateButton = 1004;
inline constexpr int UpdateProgress = 1005;
inline constexpr int LogProgress = 1006;
inline constexpr int EraseGpsLogButton = 1007;
inline constexpr int SetDefaultButton = 1009;
inline constexpr int PasswdLabel = 1076;
inline constexpr int PasswdEdit = 1036;
inline constexpr int HiddenUserEdit = 1035;
inline constexpr int HiddenReadOnlyEdit = 1074;
inline constexpr int HiddenStaticLabel = 1075;

// Panels
inline constexpr int TrackerPanel = 1077;
inline constexpr int SystemConfigPanel = 1078;
inline constexpr int SecuritySmsPanel = 1087;
inline constexpr int BuzzerPanel = 1089;
inline constexpr int GsmGprsPanel = 1091;
inline constexpr int ServerConfigPanel = 1095;
inline constexpr int PhoneConfigPanel = 1101;
inline constexpr int SleepModePanel = 1105;
inline constexpr int FirmwareUpdatePanel = 1112;

// System Config
inline constexpr int ImeiDisplay = 1020;
inline constexpr int SmsIntervalEdit = 1021;
inline constexpr int GprsIntervalEdit = 1022;
inline constexpr int LogIntervalEdit = 1023;
inline constexpr int GeoFenceEdit = 1024;
inline constexpr int DisableAlarmEdit = 1025;
inline constexpr int RingCounterEdit = 1026;
inline constexpr int OverSpeedEdit = 1027;
inline constexpr int VersionEdit = 1043;
inline constexpr int SensorActiveEdit = 1044;
inline constexpr int HiddenEdit1045 = 1045;
inline constexpr int HiddenEdit1046 = 1046;
inline constexpr int SmsIntervalLabel = 1080;
inline constexpr int GprsIntervalLabel = 1081;
inline constexpr int LogIntervalLabel = 1082;
inline constexpr int GeoFenceLabel = 1083;
inline constexpr int DisableAlarmLabel = 1084;
inline constexpr int RingCounterLabel = 1085;
inline constexpr int SensorActiveLabel = 1086;
inline constexpr int VersionLabel = 1079;
inline constexpr int ImeiLabel = 1113;

// Security SMS On/Off (mask bits 0-7)
inline constexpr int BurglarCheck = 1051;
inline constexpr int SosCheck = 1052;
inline constexpr int SecurityGeoFenceCheck = 1053;
inline constexpr int PowerCutCheck = 1054;
inline constexpr int LowBatteryCheck = 1055;
inline constexpr int VibrationAlarmCheck = 1056;
inline constexpr int GpsFixAlarmCheck = 1057;
inline constexpr int OverSpeedAlarmCheck = 1058;
inline constexpr int KmhLabel = 1088;

// Buzzer On/Off (mask bits 1-7)
inline constexpr int SmsSendCheck = 1059;
inline constexpr int GprsSendCheck = 1060;
inline constexpr int BuzzerGeoFenceCheck = 1061;
inline constexpr int UsbSetCheck = 1062;
inline constexpr int WebSetCheck = 1063;
inline constexpr int SmsSetCheck = 1064;
inline constexpr int ButtonPressedCheck = 1066;
inline constexpr int SosGeoAlarmLabel = 1090;

// GSM / GPRS Config
inline constexpr int ApnLabel = 1092;
inline constexpr int ApnEdit = 1028;
inline constexpr int UserLabel = 1093;
inline constexpr int GprsUserEdit = 1029;
inline constexpr int PassLabel = 1094;
inline constexpr int GprsPassEdit = 1030;

// Server Config
inline constexpr int IpDomainLabel = 1096;
inline constexpr int IpDomainEdit = 1031;
inline constexpr int TcpPortLabel = 1097;
inline constexpr int TcpPortEdit = 1032;
inline constexpr int UdpPortLabel = 1098;
inline constexpr int UdpPortEdit = 1033;
inline constexpr int ConfigPortLabel = 1099;
inline constexpr int ConfigPortEdit = 1034;
inline constexpr int TcpCheck = 1067;
inline constexpr int UdpCheck = 1068;
inline constexpr int ReplyCheck = 1069;
inline constexpr int ReplyLabel = 1100;

// Phone Config
inline constexpr int ScuPhoneLabel = 1102;
inline constexpr int ScuPhoneEdit = 1037;
inline constexpr int SosPhoneLabel = 1103;
inline constexpr int SosPhoneEdit = 1038;
inline constexpr int SmsPhoneLabel = 1104;
inline constexpr int SmsPhoneEdit = 1039;

// Sleep Mode
inline constexpr int SleepHourEdit = 1040;
inline constexpr int SleepMinEdit = 1041;
inline constexpr int SleepSecEdit = 1042;
inline constexpr int TimeToSleepLabel = 1107;
inline constexpr int ModeLabel = 1106;
inline constexpr int ModeCombo = 1065;
inline constexpr int HourLabel = 1109;
inline constexpr int MinLabel = 1110;
inline constexpr int SecLabel = 1111;
inline constexpr int TimeToWakeupLabel = 1108;
inline constexpr int WakeupHourEdit = 1047;
inline constexpr int WakeupMinEdit = 1048;
inline constexpr int WakeupSecEdit = 1049;

}  // namespace quarnel::ctl
