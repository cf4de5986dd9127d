/*
 * Driving the loopback modem engine from outside the plug-in.
 *
 * The plug-in creates its engine itself, through the registration file beside
 * it, so a host or test driver never holds the engine object. The loopback
 * module therefore lists its live engines and exports one C entry point that
 * returns a table of functions over them. A driver opens the very module file
 * the registration names (the process then holds one copy, shared with the
 * plug-in) and looks the entry point up:
 *
 *   void* module = dlopen(".../libquorvel-loopback.so", RTLD_NOW);
 *   auto get = (QuorvelLoopbackSimulationFn)dlsym(module, QUORVEL_LOOPBACK_SIMULATION_SYMBOL);
 *   const QuorvelLoopbackSimulation* sim = get();
 *   if (sim->Version >= 1 && sim->EngineCount() > 0)
 *       sim->Receive(sim->EngineCount() - 1, 0, "CQ CQ de DL1ABC\r");
 *
 * Engines are numbered by age, 0 the oldest alive; a plug-in window owns one.
 * Channels are 0 (main) to 4. Text is UTF-8. Call everything on the UI thread:
 * the engine raises its events there as the dispatcher's clock advances.
 * Functions given an engine or channel that does not exist return -1 and do
 * nothing.
 */
#ifndef QUORVEL_LOOPBACK_SIMULATION_H
#define QUORVEL_LOOPBACK_SIMULATION_H

#include <stdint.h>

#define QUORVEL_LOOPBACK_SIMULATION_VERSION 4
#define QUORVEL_LOOPBACK_SIMULATION_SYMBOL "QuorvelGetLoopbackSimulation"

typedef struct QuorvelLoopbackChannel {
    char Mode[32];        /* the engine's name of the channel's mode, UTF-8 */
    double Speed;         /* baud */
    int32_t RxCarrier;    /* Hz */
    int32_t Open;         /* extra channels: opened by the plug-in; channel 0 is always 1 */
    double SignalToNoise; /* dB */
} QuorvelLoopbackChannel;

/* What the plug-in has set of the receive filters (version 3). */
#define QUORVEL_LOOPBACK_MAX_NOTCHES 16
typedef struct QuorvelLoopbackFilters {
    int32_t Bpf;        /* the fixed band-pass filter, nBPF */
    int32_t Type;       /* custom filter: -1 none, 0 low-pass, 1 high-pass, 2 band-pass */
    int32_t Steepness;  /* as sent: ten times the steepness */
    double Edge1, Edge2;
    int32_t Taps;
    int32_t NotchCount;                           /* all notches */
    int32_t Notches[QUORVEL_LOOPBACK_MAX_NOTCHES]; /* the first ones, Hz */
} QuorvelLoopbackFilters;

typedef struct QuorvelLoopbackSimulation {
    uint32_t Version; /* QUORVEL_LOOPBACK_SIMULATION_VERSION; later versions only add functions at the end */
    int32_t (*EngineCount)(void);
    /* Tells engines apart over time: 1 for the module's first engine, 2 for the next, ... */
    int32_t (*EngineSerial)(int32_t engine);
    /* A remote station's text arrives on the channel at the channel's character rate. 1 when queued. */
    int32_t (*Receive)(int32_t engine, int32_t channel, const char* utf8);
    int32_t (*SetSignalToNoise)(int32_t engine, int32_t channel, double db);
    /* Characters queued by Receive and not yet delivered to the plug-in. */
    int32_t (*PendingReceive)(int32_t engine, int32_t channel);
    /* 1 while the engine transmits, 0 while it receives. */
    int32_t (*Transmitting)(int32_t engine);
    /* Number of characters (UTF-16 units) the engine has sent on the air so far. */
    int32_t (*SentCount)(int32_t engine);
    /* The characters sent from index `from` on, as UTF-8: writes at most size - 1 bytes and a NUL,
       returns the full length in bytes, so a caller whose buffer was too small can ask again. */
    int32_t (*SentText)(int32_t engine, int32_t from, char* buffer, int32_t size);
    int32_t (*ChannelState)(int32_t engine, int32_t channel, QuorvelLoopbackChannel* out);
    /* Version 2. The engine's received audio from a WAV file instead of the simulated band, and its
       transmitted audio to one; either may be NULL. 1 when done, 0 when the engine has no audio
       (the loopback engine) or a file cannot be opened. */
    int32_t (*SetAudioFiles)(int32_t engine, const char* in, const char* out);
    /* Version 2. The channel's station from its next text on: off the channel's carrier by offsetHz,
       drifting by driftHzPerMinute, its sound card clockPpm fast. 1 when taken, 0 when the engine has
       no signals (the loopback engine). */
    int32_t (*SetStation)(int32_t engine, int32_t channel, double offsetHz, double driftHzPerMinute, double clockPpm);
    /* Version 3: the channel's AFC as the plug-in set it (1 on, 0 off). */
    int32_t (*ChannelAfc)(int32_t engine, int32_t channel);
    /* Version 3: the engine's receive filters and notches. 1 when given. */
    int32_t (*FilterState)(int32_t engine, QuorvelLoopbackFilters* out);
    /* Version 4: the engine's audio from the machine's sound cards (on 1: the devices its strSoundID
       names, while bActive) or from the simulated band and the files (0). 1 when done, 0 when the
       engine has no audio (the loopback engine). */
    int32_t (*SetSoundCards)(int32_t engine, int32_t on);
    /* Version 4: what became of the sound devices since the report was last taken, one line each with
       "\n" after it, UTF-8. Returns the full length in bytes; the report is taken (and emptied) only
       by a call whose buffer holds all of it. */
    int32_t (*SoundReport)(int32_t engine, char* buffer, int32_t size);
} QuorvelLoopbackSimulation;

typedef const QuorvelLoopbackSimulation* (*QuorvelLoopbackSimulationFn)(void);

#endif
