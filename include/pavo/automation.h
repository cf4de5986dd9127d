/*
 * Automation: operating a plug-in's window the way its operator does, by
 * message. Scripted hosts, test drivers and accessibility tools use it; a
 * plug-in window that does not support it answers 0 like any window.
 *
 * The host sends (never posts) PAVO_MSG_AUTOMATION to the plug-in's window
 * (the handle PavoRun returned) on the UI thread, with wParam = address of a
 * PavoAutomationRequest and lParam = 0. The plug-in acts before SendMessage
 * returns, with the result:
 *
 *   PAVO_AUTOMATION_DONE            done (a verb whose effect the plug-in
 *                                   defers, such as a transmission, has started)
 *   PAVO_AUTOMATION_UNKNOWN_VERB    the window offers no such verb
 *   PAVO_AUTOMATION_UNKNOWN_TARGET  no control of that name or caption
 *   PAVO_AUTOMATION_REFUSED         the control is disabled or hidden, or the
 *                                   argument does not fit it; nothing changed
 *   PAVO_AUTOMATION_BAD_REQUEST     Size too small or Verb missing
 *   0                               the window does not answer automation
 *
 * A reply, when there is one, comes through Reply (if not null), called at
 * most once and before SendMessage returns; the text is valid only during the
 * call. Refusals reply with the reason.
 *
 * Verbs. Target names a control by its name ("Memo1", "RsSpeedButton1") or
 * its caption ("Позывной"); "" is the window itself. Argument is the verb's
 * text. Strings are cp1251, except the description, which is an XML document
 * in UTF-8 (XML's own default encoding).
 *
 *   describe  ""       reply: the description below
 *   close     ""       the window's close button
 *   type      control  Argument: characters typed while the control has the
 *                      focus, each as a key press; CR is the Enter key
 *   key       control  Argument: one key with modifiers, "F12", "Enter",
 *                      "Ctrl+L"; Target "" = the control that has the focus
 *   click     control  a button, menu item or check button is clicked; on a
 *                      text pane, Argument = the caret position of the click
 *                      (number of characters before it, as the pane counts);
 *                      on a spectrum view, the frequency in Hz clicked
 *   popup     control  the right mouse button on the control, opening its pop-up
 *                      menu; Argument as for click (on a spectrum view: the
 *                      frequency in Hz under the mouse)
 *   pick      menu     Argument: caption of the item chosen in the open pop-up
 *                      menu; Target "" = the menu that is open
 *   select    control  Argument: text of the list item or tab to choose
 *   set       control  Argument: the new value of an editor
 *
 * A plug-in answers the verbs its window offers; new verbs may come, and a
 * host treats PAVO_AUTOMATION_UNKNOWN_VERB as "not offered".
 *
 * Description. The root element is the window; each child describes one
 * control that the window shows, in the window's order, named after its kind,
 * with the control's name and state as attributes and its text as content:
 *
 *   <window name="MainForm" caption="..." visible="1">
 *     <combo name="mnuModes" caption="Вид:" items="11">BPSK</combo>
 *     <edit name="Edit1" focused="1">DL1ABC</edit>
 *     <pane name="RichEdit1">
 *       <run colour="#008000">CQ CQ de DL1ABC&#13;
 *       </run><picture/><run colour="#000080">...</run>
 *     </pane>
 *     <button name="RsSpeedButton1" caption="TX/RX" down="0"/>
 *     <statusbar name="StatusBar1"><panel>...</panel></statusbar>
 *   </window>
 *
 * Attributes: name; caption when the control has one; enabled="0" and
 * visible="0" only when so; focused, down, items, active where they apply.
 * Colours are "#RRGGBB", or "sysN" for the system colour N. Line breaks in
 * text are CR LF (the CR written as &#13;, so readers keep it), and a
 * <picture/> counts as one character, so positions in a pane's text are those
 * click expects. Plug-ins add kinds and attributes over time; a host shows
 * what it does not know as it is.
 */
#ifndef PAVO_AUTOMATION_H
#define PAVO_AUTOMATION_H

#include "pavo/pavo.h"

/* WM_USER + 146, sent by the host to the plug-in's window. */
#define PAVO_MSG_AUTOMATION 1170

#define PAVO_AUTOMATION_DONE 1
#define PAVO_AUTOMATION_UNKNOWN_VERB (-1)
#define PAVO_AUTOMATION_UNKNOWN_TARGET (-2)
#define PAVO_AUTOMATION_REFUSED (-3)
#define PAVO_AUTOMATION_BAD_REQUEST (-4)

#ifdef __cplusplus
extern "C" {
#endif

typedef void(PAVO_CALL* PavoAutomationReplyFn)(void* context, const char* text, int32_t length);

typedef struct PavoAutomationRequest {
    uint32_t Size;          /* sizeof(PavoAutomationRequest): fields may be added at the end */
    const char* Verb;       /* required */
    const char* Target;     /* null is "" */
    const char* Argument;   /* null is "" */
    PavoAutomationReplyFn Reply;
    void* ReplyContext;     /* passed back to Reply */
} PavoAutomationRequest;

#ifdef __cplusplus
}
#endif

#endif
