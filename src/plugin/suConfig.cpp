#include "plugin/suConfig.h"

#include "base/CodePage.h"
#include "base/Files.h"
#include "base/Text.h"
#include "plugin/HostLibraries.h"
#include "ui/Application.h"

namespace quorvel::suConfig {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string HostName(std::string_view executablePath) {
    std::size_t start = executablePath.size();
    while (start > 0 && !IsSeparator(executablePath[start - 1])) --start;
    std::string name(executablePath.substr(start));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

TConfig::TConfig(TApplication& app, const THostLinkedLibraries& libraries) : app_(app), libraries_(libraries) {
    Property("ImageStyle", ImageStyle, Ru("По умолчанию"));
    Property("AutoSrcInCallBook", AutoSrcInCallBook, false);
    Property("AutocreateBackup", AutocreateBackup, false);
    Property("BackupPath", BackupPath, std::string(""));
    Property("SearchAllLogs", SearchAllLogs, false);
    Property("AutoSaveWindows", AutoSaveWindows, true);
    Property("ShowInfoWindowTime", ShowInfoWindowTime, 5);
    Property("EnableMemoryOptimization", EnableMemoryOptimization, false);
    Property("PixelsPerInch", PixelsPerInch, 96);
    Property("EnabledPTT", EnabledPTT, false);
    Property("EnabledTxOnCW", EnabledTxOnCW, false);
    Property("EnabledTxOnPlay", EnabledTxOnPlay, false);
    Property("COMPortNumber", COMPortNumber, 1);
    Property("COMPinTxIndex", COMPinTxIndex, 0);
    Property("COMPinCWIndex", COMPinCWIndex, 0);
    Property("TxDelay", TxDelay, 0);
    Property("LPTPortNumber", LPTPortNumber, 1);
    Property("LPTPortAddress", LPTPortAddress, 0x378);
    Property("LPTStdAddress", LPTStdAddress, true);
    Property("EnabledAntMng", EnabledAntMng, false);
    Property("AutoSwitch", AutoSwitch, false);
    Property("AutoRotate", AutoRotate, false);
    Property("AntConfigIndex", AntConfigIndex, 0);
    Property("AntDeadZonePosic", AntDeadZonePosic, 0);
    Property("AntAzimutPark", AntAzimutPark, 0);
    Property("AntCommType", AntCommType, 0);
    Property("AntRotType", AntRotType, 0);
    Property("AntCOMPort1", AntCOMPort1, 1);
    Property("AntCOMBaudRate1", AntCOMBaudRate1, 9600);
    Property("AntCOMDatabits1", AntCOMDatabits1, 8);
    Property("AntCOMParity1", AntCOMParity1, 0);
    Property("AntCOMStopbits1", AntCOMStopbits1, 1);
    Property("AntCOMFlowControl1", AntCOMFlowControl1, 0);
    Property("AntCOMPort2", AntCOMPort2, 2);
    Property("AntCOMBaudRate2", AntCOMBaudRate2, 9600);
    Property("AntCOMDatabits2", AntCOMDatabits2, 8);
    Property("AntCOMParity2", AntCOMParity2, 0);
    Property("AntCOMStopbits2", AntCOMStopbits2, 1);
    Property("AntCOMFlowControl2", AntCOMFlowControl2, 0);
    Property("NameFromClbk", NameFromClbk, false);
    Property("QTHFromClbk", QTHFromClbk, false);
    Property("ViewToMapF2", ViewToMapF2, false);
    Property("AudioInDevNum", AudioInDevNum, -1);
    Property("AudioOutDevNum", AudioOutDevNum, -1);
    Property("AnaliserInDevNum", AnaliserInDevNum, -1);
    Property("CWOutDevNum", CWOutDevNum, -1);
    Property("BandIndex", BandIndex, -1);
    Property("ModeIndex", ModeIndex, -1);
    Property("BandName", BandName, std::string(""));
    Property("ModeName", ModeName, std::string(""));
    Property("PluginsDataPath", PluginsDataPath, std::string(""));
    Property("FontName", FontName, std::string("Tahoma"));
    Property("FontSize", FontSize, 8);
    Property("FontStyle", FontStyle, TFontStyles{});
    Property("FontColor", FontColor, 0);
    Property("InsertColor", InsertColor, 0xFFFFFF);
    Property("SelectedColor", SelectedColor, 0x00FFFF);
    Property("DistanceSelectedColor", DistanceSelectedColor, 0x80FF80);
    Property("DistanceSelected", DistanceSelected, false);
    Property("AlwaysDistanceSelected", AlwaysDistanceSelected, false);
    Property("ToolbarStyle", ToolbarStyle, 0);
    Property("InternalExplorer", InternalExplorer, false);
    Property("InternalMailClient", InternalMailClient, false);
    Property("Operator", Operator, std::string(""));
    Property("MyName", MyName, std::string(""));
    Property("MyCity", MyCity, std::string(""));
    Property("MyLat", MyLat, 0.0);
    Property("MyLon", MyLon, 0.0);
    Property("MyGridSquare", MyGridSquare, std::string(""));
    Property("MyCQ", MyCQ, 0);
    Property("MyITU", MyITU, 0);
    Property("MyIOTA", MyIOTA, std::string(""));
    Property("TxPWR", TxPWR, 100);
    Property("MyRig", MyRig, std::string(""));
    Property("MyCnty", MyCnty, std::string(""));
    Property("QSLMsg", QSLMsg, std::string(""));
    Property("QSLRColor", QSLRColor, 0x00FF00);
    Property("QSLSColor", QSLSColor, 0x0000FF);
    Property("QSLRSColor", QSLRSColor, 0xFF0000);
    Property("DBType", DBType, 0);
    Property("DBPath", DBPath, std::string(""));
    Property("DBIndexFilePath", DBIndexFilePath, std::string(""));
    Property("DBTableName", DBTableName, std::string(""));
    Property("DBPassword", DBPassword, std::string(""));
    Property("DBUserName", DBUserName, std::string(""));
    Property("DBName", DBName, std::string(""));
    Property("DBQTH", DBQTH, std::string(""));
    Property("GPSEnable", GPSEnable, false);
    Property("GPSCOMPort", GPSCOMPort, 1);
    Property("GPSCOMBaudRate", GPSCOMBaudRate, 4800);
    Property("GPSCOMDatabits", GPSCOMDatabits, 8);
    Property("GPSCOMParity", GPSCOMParity, 0);
    Property("GPSCOMStopbits", GPSCOMStopbits, 1);
    Property("GPSCOMFlowControl", GPSCOMFlowControl, 0);
    Property("GPSAutoSaveInConfig", GPSAutoSaveInConfig, false);
    Property("eQSLLogin", eQSLLogin, std::string(""));
    Property("eQSLPSW", eQSLPSW, std::string(""));
    Property("eAllowDownloadQSLImage", eAllowDownloadQSLImage, false);
    Property("eQSLAutoCheck", eQSLAutoCheck, false);
    Property("eQSLAutoSend", eQSLAutoSend, false);
    Property("ProxyHost", ProxyHost, std::string(""));
    Property("ProxyPort", ProxyPort, 8080);
    Property("ProxyLogin", ProxyLogin, std::string(""));
    Property("ProxyPsw", ProxyPsw, std::string(""));
    Property("ProxyEnable", ProxyEnable, false);
    Property("ProxyBasicAuthentication", ProxyBasicAuthentication, false);
    Property("GQSLLogin", GQSLLogin, std::string(""));
    Property("GQSLPSW", GQSLPSW, std::string(""));
    Property("gAllowDownloadQSLImage", gAllowDownloadQSLImage, false);
    Property("gQSLAutoCheck", gQSLAutoCheck, false);
    Property("LoTwLogin", LoTwLogin, std::string(""));
    Property("LoTwPSW", LoTwPSW, std::string(""));
    Property("LoTwAutoCheck", LoTwAutoCheck, false);
    Property("ServerReadTimeout", ServerReadTimeout, 30000);
}

void TConfig::LoadProfile() {
    const auto profile = libraries_.smGetProfile();
    // The profile path comes from the host and is appended to its data
    // folder: a ".." part or a drive would take the settings file from elsewhere.
    if (!profile || !StaysBelow(profile->Path)) return;
    const std::string hostData = HostDataFolder();
    if (hostData.empty()) return;
    ProfileName = profile->Name;
    ProfileFolder = JoinPath(hostData, profile->Path);
    Load(JoinPath(ProfileFolder, "\\configuration.xml"));
}

std::string TConfig::HostDataFolder() const {
    const std::string appData = fsGetAppDataPath(app_.Platform().Libraries, app_.Handle);
    if (appData.empty()) return {};
    const IProcess* process = app_.Platform().Process;
    const std::string host = HostName(process != nullptr ? process->ExecutablePath() : std::string());
    if (host.empty()) return {};
    return JoinPath(appData, "\\Zentavo\\", host);
}

std::string TConfig::ThemeFolder() const {
    const std::string hostData = HostDataFolder();
    return hostData.empty() ? std::string() : JoinPath(hostData, "\\Themes\\");
}

std::string TConfig::PluginsDataFolder() const {
    const std::string hostData = HostDataFolder();
    return hostData.empty() ? std::string() : JoinPath(hostData, "\\Plugins Data");
}

std::string TConfig::ThemeFile() const {
    const std::string folder = ThemeFolder();
    if (folder.empty()) return {};
    std::size_t start = ImageStyle.size();
    while (start > 0 && !IsSeparator(ImageStyle[start - 1])) --start;
    return JoinPath(folder, ImageStyle.substr(start) + ".kth");
}

}  // namespace quorvel::suConfig
