// web/library.js -- the page's side of page.h and webgl.h, linked into the
// program by Emscripten: the canvas and its WebGL context, the triangles the
// page's GL hands over, the queue of keys page.js keeps, and the two waits.

mergeInto(LibraryManager.library, {
  // The canvas's WebGL context, its buffer and the clear colour.
  $canvas: {gl: null, clear: [0, 0, 0, 0]},

  page_open_canvas__deps: ['$canvas'],
  page_open_canvas: function(width, height, title) {
    var element = document.createElement('canvas');
    element.id = 'window';
    element.width = width;
    element.height = height;
    element.style.width = width + 'px';
    element.style.height = height + 'px';
    element.title = document.title = UTF8ToString(title);
    element.tabIndex = 0;
    document.getElementById('screen').appendChild(element);
    // No antialiasing and no alpha, as in the desktop window.
    var gl = element.getContext('webgl', {antialias: false, alpha: false, depth: true,
                                          stencil: false, premultipliedAlpha: false});
    var shader = function(type, source) {
      var s = gl.createShader(type);
      gl.shaderSource(s, source);
      gl.compileShader(s);
      return s;
    };
    // Everything is computed already: a position in clip space and a colour
    // at each corner, interpolated across the triangle as GL 1.x shades.
    var program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER,
      'attribute vec4 position; attribute vec3 colour; varying vec3 shade;' +
      'void main() { gl_Position = position; shade = colour; }'));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
      'precision highp float; varying vec3 shade;' +
      'void main() { gl_FragColor = vec4(shade, 1.0); }'));
    gl.bindAttribLocation(program, 0, 'position');
    gl.bindAttribLocation(program, 1, 'colour');
    gl.linkProgram(program);
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 28, 0);
    gl.vertexAttribPointer(1, 3, gl.FLOAT, false, 28, 16);
    canvas.gl = gl;
    element.focus();
  },

  webgl_draw__deps: ['$canvas'],
  webgl_draw: function(vertices, count) {
    var gl = canvas.gl;
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * 7),
                  gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, count);
  },

  webgl_clear_colour__deps: ['$canvas'],
  webgl_clear_colour: function(r, g, b, a) {
    canvas.clear = [r, g, b, a];
  },

  webgl_clear__deps: ['$canvas'],
  webgl_clear: function(colour, depth) {
    var gl = canvas.gl;
    gl.clearColor(canvas.clear[0], canvas.clear[1], canvas.clear[2], canvas.clear[3]);
    gl.clear((colour ? gl.COLOR_BUFFER_BIT : 0) | (depth ? gl.DEPTH_BUFFER_BIT : 0));
  },

  webgl_viewport__deps: ['$canvas'],
  webgl_viewport: function(x, y, width, height) {
    if (canvas.gl) canvas.gl.viewport(x, y, width, height);
  },

  webgl_depth_test__deps: ['$canvas'],
  webgl_depth_test: function(on) {
    if (on) canvas.gl.enable(canvas.gl.DEPTH_TEST);
    else canvas.gl.disable(canvas.gl.DEPTH_TEST);
  },

  // struct page_key: int character, then key[32] and code[32].
  page_take_key: function(key) {
    var k = Module.pageKeys.shift();
    if (!k) return 0;
    HEAP32[key >> 2] = k.character;
    stringToUTF8(k.key, key + 4, 32);
    stringToUTF8(k.code, key + 36, 32);
    return 1;
  },

  page_wait_key: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      if (Module.pageKeys.length > 0) return wakeUp();
      Module.pageWake = wakeUp;
    });
  },

  // Resumed inside the animation-frame callback, the program would draw the
  // next frame over this one before the browser shows it.
  page_present: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      requestAnimationFrame(function() {
        var channel = new MessageChannel();
        channel.port1.onmessage = function() { wakeUp(); };
        channel.port2.postMessage(0);
      });
    });
  },
});
