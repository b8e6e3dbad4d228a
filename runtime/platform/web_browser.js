// The page side of the browser twin: waits that give control back to the browser, the page's
// visibility, the sound that browsers hold back until the player's first touch, and the
// canvas. Linked with --js-library; the program calls the squibly_* functions.
mergeInto(LibraryManager.library, {
  $SquiblyBrowser__postset: "Module['squiblyAudio'] = SquiblyBrowser.report; " +
                            "Module['squiblyFrames'] = function() { return SquiblyBrowser.framesPresented; };",
  $SquiblyBrowser: {
    // Resumes the waiting program early; set while it waits.
    wakeEarly: null,
    framesPresented: 0,
    soundAllowed: false,

    // Wakes a waiting program: used when the page is hidden or shown, so that the pause and
    // resume callbacks run while the browser still lets the page work.
    hurry: function() {
      var wake = SquiblyBrowser.wakeEarly;
      if (wake) wake();
    },

    // The page's sound as a test sees it: the context's state and what plays.
    report: function() {
      var ctx = SquiblyBrowser.audioContext();
      var playing = 0;
      if (typeof SDL != 'undefined' && SDL.channels) {
        SDL.channels.forEach(function(channel) { if (channel && channel.audio && !channel.audio.paused) playing++; });
      }
      return {
        state: ctx ? ctx.state : 'none',
        soundAllowed: SquiblyBrowser.soundAllowed,
        playing: playing,
        music: typeof SDL != 'undefined' && SDL.music && SDL.music.audio ? !SDL.music.audio.paused : false,
      };
    },

    audioContext: function() {
      return (typeof SDL != 'undefined' && SDL.audioContext) ? SDL.audioContext : null;
    },

    // Browsers start sound only from a player's gesture. The gesture may come before the
    // program opened its audio, so it is remembered.
    allowSound: function() {
      SquiblyBrowser.soundAllowed = true;
      var ctx = SquiblyBrowser.audioContext();
      if (ctx && ctx.state === 'suspended' && !document.hidden) {
        ctx.resume().catch(function() {});
      }
    },

    watchPage: function() {
      ['touchend', 'pointerup', 'mousedown', 'keydown', 'click'].forEach(function(type) {
        document.addEventListener(type, SquiblyBrowser.allowSound, true);
      });
      document.addEventListener('visibilitychange', function() {
        var ctx = SquiblyBrowser.audioContext();
        if (ctx) {
          // A hidden page is silent, as the handheld silences an app in the background.
          if (document.hidden) {
            if (ctx.state === 'running') ctx.suspend().catch(function() {});
          } else if (SquiblyBrowser.soundAllowed && ctx.state === 'suspended') {
            ctx.resume().catch(function() {});
          }
        }
        SquiblyBrowser.hurry();
      });
    },

    // Sleeps with the browser in control; frame waits follow the display's animation frames.
    wait: function(ms, forFrame) {
      Asyncify.handleSleep(function(wakeUp) {
        var timer = 0, frame = 0, done = false;
        function go() {
          if (done) return;
          done = true;
          SquiblyBrowser.wakeEarly = null;
          if (timer) clearTimeout(timer);
          if (frame) cancelAnimationFrame(frame);
          wakeUp();
        }
        SquiblyBrowser.wakeEarly = go;
        if (forFrame && !document.hidden) frame = requestAnimationFrame(go);
        timer = setTimeout(go, ms);
      });
    },
  },

  // WebGL has no fixed-function hints (perspective correction, point, line and fog smoothing);
  // the runtime sets one every frame, which WebGL would answer with an error each time.
  glHint: function(target, mode) {
    if (target >= 0x0C50 && target <= 0x0C54) return;
    GLctx.hint(target, mode);
  },

  squibly_watch_page__deps: ['$SquiblyBrowser'],
  squibly_watch_page: function() {
    SquiblyBrowser.watchPage();
  },

  squibly_sleep__deps: ['$SquiblyBrowser'],
  squibly_sleep: function(ms) {
    SquiblyBrowser.wait(ms, false);
  },

  // The drawn frame shows once the program yields; a page without animation frames (hidden,
  // or a browser that withholds them) still moves on after a tenth of a second.
  squibly_present_frame__deps: ['$SquiblyBrowser'],
  squibly_present_frame: function() {
    SquiblyBrowser.framesPresented++;
    if (Module['onFramePresented']) Module['onFramePresented'](SquiblyBrowser.framesPresented);
    SquiblyBrowser.wait(100, true);
  },

  squibly_canvas_size: function(width, height) {
    var canvas = Module['canvas'];
    HEAP32[width >> 2] = canvas ? canvas.width : 0;
    HEAP32[height >> 2] = canvas ? canvas.height : 0;
  },

  squibly_set_title: function(title) {
    var text = UTF8ToString(title);
    if (text) document.title = text;
  },

  squibly_open_address: function(address) {
    var url = UTF8ToString(address);
    if (/^https?:\/\//i.test(url)) window.open(url, '_blank', 'noopener');
  },

  squibly_audio_running__deps: ['$SquiblyBrowser'],
  squibly_audio_running: function() {
    var ctx = SquiblyBrowser.audioContext();
    return ctx && ctx.state === 'running' ? 1 : 0;
  },

  squibly_program_folder__deps: ['$SquiblyStorage'],
  squibly_program_folder: function(buffer, size) {
    stringToUTF8(SquiblyStorage.folder, buffer, size);
  },
});
