// web/page.js -- the page as the program's console: what it prints goes to
// the console element as it stands, and every key pressed on the page waits
// in a queue until the program takes it (library.js). Loaded before the
// program's own script, so that no key pressed early is lost.
'use strict';

var Module = {
  thisProgram: 'twisty-cube', // argv[0], the window's title
  pageKeys: [],
  pageWake: null,
  print: function(line) {
    document.getElementById('console').textContent += line + '\n';
  },
  printErr: function(line) {
    console.error(line);
  },
};

// Keys with Ctrl, Alt or Meta held are the browser's shortcuts; the program
// takes every other key, so none of them scrolls the page or moves the focus.
document.addEventListener('keydown', function(event) {
  if (event.ctrlKey || event.altKey || event.metaKey || event.isComposing) return;
  event.preventDefault();
  var characters = Array.from(event.key); // a character beyond U+FFFF is one
  Module.pageKeys.push({
    character: characters.length === 1 ? characters[0].codePointAt(0) : 0,
    key: event.key,
    code: event.code,
  });
  var wake = Module.pageWake;
  Module.pageWake = null;
  if (wake) wake();
});
