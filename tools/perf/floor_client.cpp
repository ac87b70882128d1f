// The round-trip floors' client: a bare DDEML client with a window. Its Go button pokes "GA:0" to
// the rotator peer (synchronously, as the program does); each azimuth report that comes back on
// its hot link paints the whole window in the report's colour. Go is shown once the hot link is
// up, as the program shows its own.
//   perf_floor_client [FILE]           on closing, writes to FILE the time from each poke to its
//                                      report's arrival, in milliseconds, one a line (the DDE
//                                      part of the loop)
//   perf_floor_client --thread [FILE]  the same with the conversation on a thread of its own, as
//                                      the program has it: the window's thread hands the poke over
//                                      and waits for its outcome, handling sent messages
//                                      meanwhile; the reports come back as posted messages. The
//                                      least that a client with its DDE on another thread does.
#include <windows.h>
// after windows.h, which it needs
#include <ddeml.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "tools/perf/perf_shared.h"

namespace {

constexpr int kGoId = 1;
constexpr DWORD kPokeLimitMs = 5000;

constexpr UINT kPokeMessage = WM_APP;        // to the DDE thread: poke now
constexpr UINT kReportMessage = WM_APP + 1;  // to the window: wParam is the report's colour

struct Client {
    DWORD instance = 0;
    HCONV conversation = nullptr;
    HSZ item = nullptr;
    HWND window = nullptr, go = nullptr;
    COLORREF colour = RGB(255, 255, 255);
    LARGE_INTEGER poked{};
    std::vector<double> arrivalsMs;
    std::string arrivalsFile;
    // With the conversation on a thread of its own:
    bool threaded = false;
    DWORD ddeThread = 0;
    HANDLE linked = nullptr, pokeDone = nullptr;
} client;

double MsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

HDDEDATA CALLBACK OnDde(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type != XTYP_ADVDATA) return nullptr;
    client.arrivalsMs.push_back(MsSince(client.poked));
    char text[64] = {};
    DdeGetData(data, reinterpret_cast<BYTE*>(text), sizeof text - 1, 0);
    const COLORREF colour =
        std::string(text) == perf::kEast ? perf::kEastColour : perf::kWestColour;
    if (client.threaded) {
        PostMessageA(client.window, kReportMessage, colour, 0);
    } else {
        client.colour = colour;
        InvalidateRect(client.window, nullptr, FALSE);
    }
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
}

void Poke() {
    static char command[] = "GA:0";
    QueryPerformanceCounter(&client.poked);
    DdeClientTransaction(reinterpret_cast<BYTE*>(command), sizeof command, client.conversation,
                         client.item, CF_TEXT, XTYP_POKE, kPokeLimitMs, nullptr);
}

// A window thread's wait on its DDE thread: the messages sent to it meanwhile are handled (DDEML's
// own among them), nothing is taken from its queue.
void WaitHandlingSentMessages(HANDLE event, DWORD limitMs) {
    while (MsgWaitForMultipleObjects(1, &event, FALSE, limitMs, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The window's side of a poke on the DDE thread: hand it over, wait for its outcome.
void PokeOnTheDdeThread() {
    QueryPerformanceCounter(&client.poked);
    PostThreadMessageA(client.ddeThread, kPokeMessage, 0, 0);
    WaitHandlingSentMessages(client.pokeDone, kPokeLimitMs);
}

// The peer may still be starting: the link is tried until it holds.
void Link() {
    const HSZ service =
        DdeCreateStringHandleA(client.instance, dde_names::rotator::kService, CP_WINANSI);
    const HSZ topic =
        DdeCreateStringHandleA(client.instance, dde_names::rotator::kTopic, CP_WINANSI);
    client.item = DdeCreateStringHandleA(client.instance, dde_names::rotator::kItem, CP_WINANSI);
    while (!(client.conversation = DdeConnect(client.instance, service, topic, nullptr))) Sleep(50);
    DdeClientTransaction(nullptr, 0, client.conversation, client.item, CF_TEXT, XTYP_ADVSTART,
                         kPokeLimitMs, nullptr);
}

DWORD WINAPI RunDdeThread(void*) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the pokes
    if (DdeInitializeA(&client.instance, OnDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 1;
    Link();
    SetEvent(client.linked);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == kPokeMessage) {
            Poke();
            SetEvent(client.pokeDone);
        } else {
            DispatchMessageA(&message);
        }
    }
    return 0;
}

void WriteArrivals() {
    if (client.arrivalsFile.empty()) return;
    if (FILE* file = std::fopen(client.arrivalsFile.c_str(), "w")) {
        for (double ms : client.arrivalsMs) std::fprintf(file, "%.4f\n", ms);
        std::fclose(file);
    }
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kGoId && HIWORD(wParam) == BN_CLICKED)
                client.threaded ? PokeOnTheDdeThread() : Poke();
            return 0;
        case kReportMessage:
            client.colour = static_cast<COLORREF>(wParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd, &paint);
            const HBRUSH brush = CreateSolidBrush(client.colour);
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_DESTROY:
            WriteArrivals();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string arguments = commandLine;
    const std::string threadOption = "--thread";
    client.threaded = arguments.rfind(threadOption, 0) == 0;
    if (client.threaded)
        arguments =
            arguments.size() > threadOption.size() ? arguments.substr(threadOption.size() + 1) : "";
    client.arrivalsFile = arguments;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = "Vantro32FloorClient";
    RegisterClassA(&windowClass);
    client.window =
        CreateWindowExA(0, windowClass.lpszClassName, "Vantro32 floor client",
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT,
                        CW_USEDEFAULT, 433, 149, nullptr, nullptr, instance, nullptr);
    client.go = CreateWindowExA(0, "BUTTON", "&Go", WS_CHILD | BS_PUSHBUTTON, 340, 80, 25, 21,
                                client.window, reinterpret_cast<HMENU>(kGoId), instance, nullptr);
    ShowWindow(client.window, SW_SHOWNORMAL);
    UpdateWindow(client.window);
    if (client.threaded) {
        client.linked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        client.pokeDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        const HANDLE thread = CreateThread(nullptr, 0, RunDdeThread, nullptr, 0, &client.ddeThread);
        if (!thread) return 1;
        CloseHandle(thread);  // it runs until the process ends
        WaitHandlingSentMessages(client.linked, INFINITE);
    } else {
        if (DdeInitializeA(&client.instance, OnDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
            return 1;
        Link();
    }
    ShowWindow(client.go, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (!client.threaded) DdeUninitialize(client.instance);  // the DDE thread's ends with it
    return 0;
}
