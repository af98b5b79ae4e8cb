// app/console.cpp -- the console half of start-up on every platform: the
// banner and the difficulty menu. The keys come from read_console_key, in
// console_posix.cpp or console_windows.cpp.
#include "console.h"
#include "cube.h"

#include <cstdio>
#include <cstdlib>

static const char *const banner[12] = {
    "          +---------------------------------------------+\n",
    "          | Projekt zaliczeniowy z Grafiki Komputerowej |\n",
    "          |           ROVOVA TAVELO - UKLADANKA         |\n",
    "          +---------------------------------------------+\n\n\n",
    "          Przygotowal:   Dabsin Kalwen  index:40716\n\n\n\n",
    "          Klawisze sterujace:\n",
    "          klawisze kursora - wybor grupy klockow\n",
    "          '1' - obrot prawo, gora \n",
    "          'w' - obrot lewo, dol \n\n\n",
    "          Wybierz poziom trudnosci : \n",
    "          [1] - Latwy\n",
    "          [2] - Normalny\n",
};

void print_banner()
{
    for (const char *line : banner) fputs(line, stdout);
    fflush(stdout); // the menu waits next: the lines must be on screen first
}

void run_menu()
{
    // Raw from before the first read to after the last: a key that comes
    // between two reads is neither echoed nor a signal. Without a console
    // the first read fails too.
    hold_raw_mode();
    while (cube.cube_size == 0) {
        int key = read_console_key();
        // Checked before the key is narrowed: byte 255 would read as -1 too.
        // Without a console the menu could only spin forever; say so and stop.
        if (key == -1) {
            release_raw_mode();
            fputs("twisty-cube: no console to read the menu key from\n", stderr);
            exit(1);
        }
        signed char code = (signed char)key;
        if (code == 49) cube.cube_size = 2;
        if (code == 50) cube.cube_size = 3;
    }
    release_raw_mode();
}
