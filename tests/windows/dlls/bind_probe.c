/* A library for the binding tests. Two copies are built under the same file
   name, told apart by WhichCopy: 1 beside the test programs, 2 elsewhere. */
#include <stdint.h>
#include <windows.h>

#ifndef PROBE_COPY
#define PROBE_COPY 1
#endif

int WINAPI WhichCopy(void) { return PROBE_COPY; }

/* Exported by ordinal 12 only. */
int WINAPI Twelve(void) { return 12; }

int WINAPI AddThree(int a, int b, int c) { return a + b + c; }

/* Leaves its arguments for the caller to remove. */
int __cdecl CdeclAddThree(int a, int b, int c) { return a + b + c; }

/* Twelve words, each weighed by its position: shows order and width. */
intptr_t WINAPI WeighTwelve(intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                            intptr_t a7, intptr_t a8, intptr_t a9, intptr_t a10, intptr_t a11, intptr_t a12) {
    return a1 * 1 + a2 * 2 + a3 * 3 + a4 * 4 + a5 * 5 + a6 * 6 + a7 * 7 + a8 * 8 + a9 * 9 + a10 * 10 + a11 * 11 +
           a12 * 12;
}

/* Hands back its pointer argument unchanged (all pointer bits). */
void* WINAPI SamePointer(void* p) { return p; }
