/* poller ROUNDS TITLE1 COMMAND1 TITLE2 COMMAND2 ...
   Starts the programs in turn, ROUNDS times each (after one unrecorded warm-up round). For each
   start it measures the time from CreateProcess to the moment a visible top-level dialog window
   (a property sheet) with the program's title exists, polling every millisecond; then it sends
   WM_CLOSE and waits for the process to end. Prints "PROGRAM-INDEX MILLISECONDS" per start, and
   "polls COUNT MEAN-GAP-MS MAX-GAP-MS" at the end: how often the window was looked for. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static double g_maxGap, g_sumGap;
static long g_polls;

static double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

/* Milliseconds to a visible sheet, or a negative value when none appeared within 20 s. */
static double StartOnce(const char* title, const char* command) {
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER frequency, start, now, last;
    char line[1024];
    double result = -1;
    HWND sheet = NULL;

    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    lstrcpynA(line, command, sizeof line);
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "poller: cannot start %s (error %lu)\n", command, GetLastError());
        exit(1);
    }
    last = start;
    for (;;) {
        sheet = FindWindowA("#32770", title);
        QueryPerformanceCounter(&now);
        if (Ms(last, now, frequency) > g_maxGap) g_maxGap = Ms(last, now, frequency);
        g_sumGap += Ms(last, now, frequency);
        ++g_polls;
        last = now;
        if (sheet && IsWindowVisible(sheet)) {
            result = Ms(start, now, frequency);
            break;
        }
        if (Ms(start, now, frequency) > 20000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    if (sheet) PostMessageA(sheet, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        fprintf(stderr, "poller: %s did not end after WM_CLOSE\n", command);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        result = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

int main(int argc, char** argv) {
    int rounds, round, i, programs;
    if (argc < 4 || (argc - 2) % 2 != 0) {
        fprintf(stderr, "usage: poller ROUNDS TITLE COMMAND [TITLE COMMAND]...\n");
        return 2;
    }
    rounds = atoi(argv[1]);
    programs = (argc - 2) / 2;
    for (round = -1; round < rounds; ++round) {
        for (i = 0; i < programs; ++i) {
            double ms = StartOnce(argv[2 + 2 * i], argv[3 + 2 * i]);
            if (ms < 0) {
                fprintf(stderr, "poller: no visible \"%s\" from %s\n", argv[2 + 2 * i], argv[3 + 2 * i]);
                return 1;
            }
            if (round >= 0) printf("%d %.1f\n", i, ms);
            fflush(stdout);
        }
    }
    printf("polls %ld %.2f %.1f\n", g_polls, g_sumGap / g_polls, g_maxGap);
    return 0;
}
