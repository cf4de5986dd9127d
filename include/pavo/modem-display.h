/*
 * The modem engine's display data, for the display controls.
 *
 * The display controls (spectrum, waterfall and scale {702CBF07-C159-44F2-B8A6-DF8EA1001E08};
 * level meter {438EF93A-939D-4B6B-93A7-DF09049B8514}) are told only the engine's
 * dwHandle and a channel; they fetch what they draw from the module that made
 * the engine. The registration file of pavo/modem-engine.h names that module
 * for the controls' class ids:
 *
 *     {702CBF07-C159-44F2-B8A6-DF8EA1001E08}=libquorvel-modem-engine.so
 *
 * and the module exports, with C linkage:
 *
 *     const QuorvelModemDisplay* QuorvelGetModemDisplay(void);
 *
 * Call everything on the UI thread. A handle no live engine of the module
 * has gives 0 and changes nothing. The frame's arrays belong to the engine
 * and stay valid until its next spectrum (the next OnDrawFFT) or until it
 * goes; copy what must outlive that.
 */
#ifndef PAVO_MODEM_DISPLAY_H
#define PAVO_MODEM_DISPLAY_H

#include <stdint.h>

#define QUORVEL_MODEM_DISPLAY_VERSION 1
#define QUORVEL_MODEM_DISPLAY_SYMBOL "QuorvelGetModemDisplay"
#define QUORVEL_MODEM_DISPLAY_CHANNELS 5

typedef struct QuorvelModemDisplayFrame {
    uint32_t Sequence;        /* goes up with every new spectrum */
    int32_t Bins;             /* spectrum bins from 0 Hz up */
    double BinHz;             /* width of one bin */
    const int16_t* Spectrum;  /* Bins values, dB x 100 relative to full scale */
    int32_t WaveCount;
    const int16_t* Wave;      /* the last input samples, full scale 32767 */
    /* Receive carriers in Hz, 0 for a closed channel; the bandwidth each mode occupies. */
    uint16_t RxCarrier[QUORVEL_MODEM_DISPLAY_CHANNELS];
    double Bandwidth[QUORVEL_MODEM_DISPLAY_CHANNELS];
    uint16_t TxCarrier;
    double TxBandwidth;
    int32_t NotchCount;
    const uint16_t* Notches;  /* NotchCount frequencies, Hz, in the engine's order */
    int16_t Level;            /* input level, dBFS x 100 */
    /* Of the channel asked for: its signal to noise, dB; the threshold below which its AFC
       holds still (the AFC level), dB; Hz its AFC has moved off the set carrier. */
    double SignalToNoise;
    double Squelch;
    double TuningError;
} QuorvelModemDisplayFrame;

typedef struct QuorvelModemDisplay {
    uint32_t Version; /* QUORVEL_MODEM_DISPLAY_VERSION; later versions only add functions at the end */
    /* The engine's latest display data, with the channel's tuning. 1 when filled. */
    int32_t (*Frame)(int32_t handle, int32_t channel, QuorvelModemDisplayFrame* out);
    /* The operator clicked the band: the channel's receive carrier moves there, reported through
       OnRxCarrier as any carrier change. 1 when done. */
    int32_t (*Tune)(int32_t handle, int32_t channel, int32_t hz);
} QuorvelModemDisplay;

typedef const QuorvelModemDisplay* (*QuorvelGetModemDisplayFn)(void);

#endif /* PAVO_MODEM_DISPLAY_H */
