#pragma once
// The host's own settings, read at library load from the configuration file
// of the host's current user profile. The plug-in uses the image style (which
// theme strip its toolbar images come from) and the host's folders; the other
// properties are what the host's file may carry.
//
//   host data folder   {application data}/Zentavo/{host executable name}
//   profile folder     host data folder + the profile path from sharepm
//   settings file      profile folder + /configuration.xml
//   theme folder       host data folder + /Themes/
//   plug-ins data      host data folder + /Plugins Data
// (with the platform's separators).
#include <cstdint>
#include <string>

#include "settings/ClassesX.h"
#include "base/Graphics.h"

namespace quorvel {

class TApplication;
class THostLinkedLibraries;

namespace suConfig {

class TConfig : public TSrzClass {
public:
    // The defaults; nothing is read yet.
    TConfig(TApplication& app, const THostLinkedLibraries& libraries);

    // The load step: with a current profile, remembers it and reads its
    // settings file (a missing file keeps the defaults). Without one, or with
    // a profile path that would lead out of the host data folder, nothing
    // changes. A failure of kvtfsys raises EkvtAPI.
    void LoadProfile();

    // The plug-in never writes the host's file.
    bool Save() override { return false; }

    // Empty when kvtfsys reports no application-data folder: there is then no
    // host data folder, and none of the folders below it. Raise EkvtAPI when
    // kvtfsys fails.
    std::string HostDataFolder() const;
    std::string ThemeFolder() const;
    std::string PluginsDataFolder() const;
    // The theme strip of the image style: ImageStyle + ".kth" in the theme
    // folder (folder parts of the style are ignored); empty without a folder.
    std::string ThemeFile() const;

    // Set by LoadProfile.
    std::string ProfileName;
    std::string ProfileFolder;

    std::string ImageStyle;
    bool AutoSrcInCallBook;
    bool AutocreateBackup;
    std::string BackupPath;
    bool SearchAllLogs;
    bool AutoSaveWindows;
    std::int32_t ShowInfoWindowTime;
    bool EnableMemoryOptimization;
    std::int32_t PixelsPerInch;
    bool EnabledPTT;
    bool EnabledTxOnCW;
    bool EnabledTxOnPlay;
    std::int32_t COMPortNumber;
    std::int32_t COMPinTxIndex;
    std::int32_t COMPinCWIndex;
    std::int32_t TxDelay;
    std::int32_t LPTPortNumber;
    std::int32_t LPTPortAddress;
    bool LPTStdAddress;
    bool EnabledAntMng;
    bool AutoSwitch;
    bool AutoRotate;
    std::int32_t AntConfigIndex;
    std::int32_t AntDeadZonePosic;
    std::int32_t AntAzimutPark;
    std::int32_t AntCommType;
    std::int32_t AntRotType;
    std::int32_t AntCOMPort1;
    std::int32_t AntCOMBaudRate1;
    std::int32_t AntCOMDatabits1;
    std::int32_t AntCOMParity1;
    std::int32_t AntCOMStopbits1;
    std::int32_t AntCOMFlowControl1;
    std::int32_t AntCOMPort2;
    std::int32_t AntCOMBaudRate2;
    std::int32_t AntCOMDatabits2;
    std::int32_t AntCOMParity2;
    std::int32_t AntCOMStopbits2;
    std::int32_t AntCOMFlowControl2;
    bool NameFromClbk;
    bool QTHFromClbk;
    bool ViewToMapF2;
    std::int32_t AudioInDevNum;
    std::int32_t AudioOutDevNum;
    std::int32_t AnaliserInDevNum;
    std::int32_t CWOutDevNum;
    std::int32_t BandIndex;
    std::int32_t ModeIndex;
    std::string BandName;
    std::string ModeName;
    std::string PluginsDataPath;
    std::string FontName;
    std::int32_t FontSize;
    TFontStyles FontStyle;
    TColor FontColor;
    TColor InsertColor;
    TColor SelectedColor;
    TColor DistanceSelectedColor;
    bool DistanceSelected;
    bool AlwaysDistanceSelected;
    std::int32_t ToolbarStyle;
    bool InternalExplorer;
    bool InternalMailClient;
    std::string Operator;
    std::string MyName;
    std::string MyCity;
    double MyLat;
    double MyLon;
    std::string MyGridSquare;
    std::int32_t MyCQ;
    std::int32_t MyITU;
    std::string MyIOTA;
    std::int32_t TxPWR;
    std::string MyRig;
    std::string MyCnty;
    std::string QSLMsg;
    TColor QSLRColor;
    TColor QSLSColor;
    TColor QSLRSColor;
    std::int32_t DBType;
    std::string DBPath;
    std::string DBIndexFilePath;
    std::string DBTableName;
    std::string DBPassword;
    std::string DBUserName;
    std::string DBName;
    std::string DBQTH;
    bool GPSEnable;
    std::int32_t GPSCOMPort;
    std::int32_t GPSCOMBaudRate;
    std::int32_t GPSCOMDatabits;
    std::int32_t GPSCOMParity;
    std::int32_t GPSCOMStopbits;
    std::int32_t GPSCOMFlowControl;
    bool GPSAutoSaveInConfig;
    std::string eQSLLogin;
    std::string eQSLPSW;
    bool eAllowDownloadQSLImage;
    bool eQSLAutoCheck;
    bool eQSLAutoSend;
    std::string ProxyHost;
    std::int32_t ProxyPort;
    std::string ProxyLogin;
    std::string ProxyPsw;
    bool ProxyEnable;
    bool ProxyBasicAuthentication;
    std::string GQSLLogin;
    std::string GQSLPSW;
    bool gAllowDownloadQSLImage;
    bool gQSLAutoCheck;
    std::string LoTwLogin;
    std::string LoTwPSW;
    bool LoTwAutoCheck;
    std::int32_t ServerReadTimeout;

private:
    TApplication& app_;
    const THostLinkedLibraries& libraries_;
};

// The executable's file name without its extension: "host.exe" -> "host".
std::string HostName(std::string_view executablePath);

}  // namespace suConfig
}  // namespace quorvel
