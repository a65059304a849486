// One message box for code that has no windows of its own (the engine). The
// window layer installs the real box at start-up; until then, and in tests, a
// scripted answerer replies at once and logs a "MSGBOX:" line.
#pragma once

#include <functional>
#include <vector>

#include "String.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;
constexpr UINT MB_HELP = 0x4000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using MessageBoxHandler = std::function<int(const char* text, const char* caption, UINT type, UINT helpId)>;

// Installs the box that answers from now on; an empty handler restores the scripted one.
void AfxSetMessageBoxHandler(MessageBoxHandler handler);
int AfxEngineMessageBox(const char* text, const char* caption, UINT type, UINT helpId = 0);

// A box that only informs, raised by a thread that must not wait for the user:
// the poster shows it later on the GUI thread and returns at once. Without a
// poster the scripted answerer takes it.
using MessageBoxPoster = std::function<void(const CString& text, const CString& caption, UINT type)>;
void AfxSetMessageBoxPoster(MessageBoxPoster poster);
void AfxPostEngineMessageBox(const char* text, const char* caption, UINT type);

// The scripted answerer: answers with the queued answers first, then with the
// box's default button. Every box it answers is logged.
void AfxQueueScriptedAnswer(int answer);
// Answers one box the scripted way (queued answer or default button) and logs it.
int AfxScriptedMessageBox(const char* text, const char* caption, UINT type, UINT helpId);
std::vector<CString> AfxTakeScriptedMessageLog();
int AfxDefaultButtonAnswer(UINT type);
