// web/page.h -- what the page (library.js, page.js) gives the C++ side: the
// keys pressed on it, the canvas, and the waits. A wait suspends the program
// (Asyncify) and hands the thread back to the browser until it is over.
#pragma once

// One key going down, as the page saw it.
struct page_key {
    int character; // its character when the key value is one character, else 0
    char key[32];  // the browser's key value: "a", "ArrowUp", "Shift"
    char code[32]; // the browser's code value: "KeyA", "ShiftLeft"
};

extern "C" {
// Takes the oldest key pressed on the page and not yet taken: 1, or 0 when
// none waits. Keys with Ctrl, Alt or Meta held stay the browser's.
int page_take_key(page_key *key);
// Waits, using no processor time, until a key waits to be taken.
void page_wait_key();
// Waits until the frame drawn so far is on the screen: the next animation
// frame, then a task of its own, so the next frame is drawn after it.
void page_present();
// Puts the one canvas on the page, width by height pixels in its drawing
// buffer and on the page alike, titled, with the keys going to it.
void page_open_canvas(int width, int height, const char *title);
}
