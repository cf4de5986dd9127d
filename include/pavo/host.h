/*
 * Host interfaces handed to a plug-in in HostSession (see pavo/pavo.h).
 *
 * Every interface is reference counted (AddRef/Release); the host owns the
 * session and all interfaces until PavoRelease returns, so a plug-in that only
 * uses them during the session need not touch the counts.
 *
 * Strings: 8-bit Windows-1251, NUL-terminated. Strings come back through
 * out-parameters: the caller passes a buffer and its size in bytes; the callee
 * writes at most size-1 bytes plus a NUL and returns the full length of the
 * text (without NUL), so a caller whose buffer was too small can ask again.
 *
 * Booleans are int32_t: 0 false, anything else true.
 * Operations are listed in interface order (the vtable order).
 */
#ifndef PAVO_HOST_H
#define PAVO_HOST_H

#include "pavo/pavo.h"

#ifdef __cplusplus

struct IPavoUnknown {
    virtual int32_t PAVO_CALL AddRef() = 0;
    virtual int32_t PAVO_CALL Release() = 0;

protected:
    ~IPavoUnknown() = default;
};

/* A live control of a host window (edit, combo): text, colours, change handler. */
struct IHostControl : IPavoUnknown {
    virtual int32_t PAVO_CALL GetText(char* buffer, int32_t size) = 0;
    virtual void PAVO_CALL SetText(const char* text) = 0;
    virtual int32_t PAVO_CALL FontColor() = 0;       /* 0x00BBGGRR */
    virtual int32_t PAVO_CALL BackgroundColor() = 0; /* 0x00BBGGRR */
    /* Runs the control's change handler without a sender; returns 0 when the
       control has none (nothing runs). */
    virtual int32_t PAVO_CALL FireChange() = 0;

protected:
    ~IHostControl() = default;
};

/* A host window object (main window, new-QSO window). */
struct IHostWindow : IPavoUnknown {
    virtual PavoHandle PAVO_CALL Handle() = 0;
    virtual void PAVO_CALL BringToFront() = 0;

protected:
    ~IHostWindow() = default;
};

/* The host's application object: its application-window handle and title. */
struct IHostApplicationObject : IPavoUnknown {
    virtual PavoHandle PAVO_CALL Handle() = 0;
    virtual int32_t PAVO_CALL Title(char* buffer, int32_t size) = 0;

protected:
    ~IHostApplicationObject() = default;
};

struct IHostConfig : IPavoUnknown {
    virtual int32_t PAVO_CALL PluginsDataFolder(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL ToolbarStyle() = 0; /* 0 to 3 */
    virtual int32_t PAVO_CALL Callsign(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL OperatorName(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL Qth(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL Locator(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL CqZone(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL ItuZone(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL Iota(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL Power(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL Rig(char* buffer, int32_t size) = 0;
    virtual int32_t PAVO_CALL State(char* buffer, int32_t size) = 0;

protected:
    ~IHostConfig() = default;
};

/* The host's log data set; fields are read from the current record as text. */
struct IHostLog : IPavoUnknown {
    virtual int32_t PAVO_CALL IsOpen() = 0;
    virtual int32_t PAVO_CALL IsEmpty() = 0;
    /* Field names used: "Дата", "Диапазон", "Вид" (cp1251). */
    virtual int32_t PAVO_CALL FieldText(const char* field, char* buffer, int32_t size) = 0;

protected:
    ~IHostLog() = default;
};

struct IHostTransceiver : IPavoUnknown {
    virtual void PAVO_CALL SwitchToTransmit() = 0;
    virtual void PAVO_CALL SwitchToReceive() = 0;
    virtual int32_t PAVO_CALL Frequency() = 0; /* Hz, 0 = unknown */
    virtual void PAVO_CALL TuneTo(int32_t hz) = 0;
    virtual void PAVO_CALL RegisterWindow(PavoHandle window) = 0;
    virtual void PAVO_CALL UnregisterWindow(PavoHandle window) = 0;
    virtual int32_t PAVO_CALL UpperSideband() = 0;
    virtual void PAVO_CALL SetWorkingFrequency(int32_t hz) = 0;
    virtual void PAVO_CALL SetPluginAttached(int32_t attached) = 0;

protected:
    ~IHostTransceiver() = default;
};

struct IHostApplication : IPavoUnknown {
    virtual IHostWindow* PAVO_CALL MainWindow() = 0;
    virtual IHostApplicationObject* PAVO_CALL ApplicationObject() = 0;
    virtual int32_t PAVO_CALL VersionText(char* buffer, int32_t size) = 0;

protected:
    ~IHostApplication() = default;
};

struct INewQsoWindow : IPavoUnknown {
    virtual IHostWindow* PAVO_CALL Window() = 0;
    virtual IHostControl* PAVO_CALL ModeControl() = 0;
    virtual IHostControl* PAVO_CALL CallsignControl() = 0;
    virtual IHostControl* PAVO_CALL QthControl() = 0;
    virtual IHostControl* PAVO_CALL NameControl() = 0;
    virtual IHostControl* PAVO_CALL RstSentControl() = 0;
    virtual IHostControl* PAVO_CALL RstReceivedControl() = 0;
    virtual IHostControl* PAVO_CALL QslManagerControl() = 0;
    virtual IHostControl* PAVO_CALL LocatorControl() = 0;
    virtual int32_t PAVO_CALL Save() = 0; /* nonzero when the contact was saved */
    virtual void PAVO_CALL Reset() = 0;
    virtual void PAVO_CALL AfterCallsignCapture() = 0;
    virtual void PAVO_CALL CallsignEntered() = 0;
    virtual int32_t PAVO_CALL KeepReports() = 0;
    virtual IHostControl* PAVO_CALL EmailControl() = 0;
    virtual void PAVO_CALL EnableForPlugin(int32_t enable) = 0;
    virtual IHostControl* PAVO_CALL CommentControl() = 0;
    virtual int32_t PAVO_CALL DistanceText(char* buffer, int32_t size) = 0; /* km */
    virtual int32_t PAVO_CALL GreetingText(char* buffer, int32_t size) = 0;
    virtual IHostControl* PAVO_CALL QsoTimeControl() = 0;

protected:
    ~INewQsoWindow() = default;
};

struct IHostAwards : IPavoUnknown {
    virtual int32_t PAVO_CALL AwardCount() = 0;
    virtual int32_t PAVO_CALL AwardName(int32_t index, char* buffer, int32_t size) = 0;
    virtual void PAVO_CALL SetAwardValue(const char* award, const char* value) = 0;

protected:
    ~IHostAwards() = default;
};

/*
 * The session record. Field offsets on the 32-bit host: Config 0, Log 16,
 * Transceiver 20, Application 24, NewQso 28, Awards 52; the reserved slots are
 * never read. On 64-bit targets every slot is pointer-sized, so offsets double.
 * NewQso is present only while the host's new-QSO window is open (between
 * notifications 2/1 and 3/1); Log and Awards may be null.
 */
struct HostSession {
    IHostConfig* Config;
    void* Reserved1[3];
    IHostLog* Log;
    IHostTransceiver* Transceiver;
    IHostApplication* Application;
    INewQsoWindow* NewQso;
    void* Reserved2[5];
    IHostAwards* Awards;
};

#include <cstddef>
static_assert(offsetof(HostSession, Config) == 0 * sizeof(void*), "HostSession.Config");
static_assert(offsetof(HostSession, Log) == 4 * sizeof(void*), "HostSession.Log");
static_assert(offsetof(HostSession, Transceiver) == 5 * sizeof(void*), "HostSession.Transceiver");
static_assert(offsetof(HostSession, Application) == 6 * sizeof(void*), "HostSession.Application");
static_assert(offsetof(HostSession, NewQso) == 7 * sizeof(void*), "HostSession.NewQso");
static_assert(offsetof(HostSession, Awards) == 13 * sizeof(void*), "HostSession.Awards");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HostSession, Log) == 16 && offsetof(HostSession, Transceiver) == 20 &&
                  offsetof(HostSession, Application) == 24 && offsetof(HostSession, NewQso) == 28 &&
                  offsetof(HostSession, Awards) == 52,
              "HostSession offsets on the 32-bit host");
#endif

#endif /* __cplusplus */
#endif
