// The saved folder in the browser's storage. Before the program starts, the folder the program
// lives in is mounted on IndexedDB and loaded from it, with the packed media linked in as
// Media. Each change the program makes there (a write channel closed, a rename, a delete) is
// written back as soon as the program yields to the browser: one IndexedDB transaction carries
// every file that differs from what the database holds, so the stored folder moves from one
// complete state to the next, never to a half-written one. After a write that fails, the
// database is asked what it holds and everything is written again. Without IndexedDB (a private window that refuses
// it) the game runs with its saves in memory. Linked with --js-library.
mergeInto(LibraryManager.library, {
  $SquiblyStorage__deps: ['$FS', '$IDBFS', '$PATH'],
  $SquiblyStorage__postset: "addOnPreRun(SquiblyStorage.mount); Module['squiblyStorage'] = SquiblyStorage.report;",
  $SquiblyStorage: {
    folder: '/squibly',
    media: '/media',
    // Path -> {mode, contents} as last handed to IndexedDB; null while the database is unknown.
    stored: null,
    usable: false,
    flushQueued: false,
    transactions: 0,   // begun
    committed: 0,
    failed: 0,

    mount: function() {
      var S = SquiblyStorage;
      FS.mkdirTree(S.folder);
      FS.mkdirTree(S.media);
      FS.mount(IDBFS, {}, S.folder);
      addRunDependency('squibly-saved-folder');
      FS.syncfs(true, function(error) {
        if (error) {
          err('saved games stay in memory: the browser refused its storage (' + error + ')');
        } else {
          S.usable = true;
          S.stored = S.snapshot();
        }
        FS.symlink(S.media, S.folder + '/Media');
        S.watch();
        removeRunDependency('squibly-saved-folder');
      });
    },

    report: function() {
      var S = SquiblyStorage;
      return {folder: S.folder, usable: S.usable, transactions: S.transactions, committed: S.committed,
              failed: S.failed, pending: S.flushQueued};
    },

    linkPath: function() { return SquiblyStorage.folder + '/Media'; },

    // Whether an absolute path is one of the saved files (the media link excluded).
    saved: function(path) {
      var S = SquiblyStorage;
      if (!path) return false;
      path = PATH.normalize(path);
      var link = S.linkPath();
      return path.indexOf(S.folder + '/') === 0 && path !== link && path.indexOf(link + '/') !== 0;
    },

    snapshot: function() {
      var S = SquiblyStorage, files = {}, check = [S.folder];
      while (check.length) {
        var dir = check.pop();
        FS.readdir(dir).forEach(function(name) {
          if (name === '.' || name === '..') return;
          var path = PATH.join2(dir, name);
          if (!S.saved(path)) return;
          var stat = FS.lstat(path);
          if (FS.isDir(stat.mode)) {
            files[path] = {mode: stat.mode};
            check.push(path);
          } else if (FS.isFile(stat.mode)) {
            files[path] = {mode: stat.mode, contents: FS.readFile(path)};
          }
        });
      }
      return files;
    },

    same: function(a, b) {
      if (!a || !b || a.mode !== b.mode) return false;
      if (!a.contents || !b.contents) return !a.contents && !b.contents;
      if (a.contents.length !== b.contents.length) return false;
      for (var i = 0; i < a.contents.length; i++) {
        if (a.contents[i] !== b.contents[i]) return false;
      }
      return true;
    },

    changed: function() {
      var S = SquiblyStorage;
      if (!S.usable || S.flushQueued) return;
      S.flushQueued = true;
      // Runs once the program has yielded, so a save made of several files goes as one.
      Promise.resolve().then(S.flush);
    },

    flush: function() {
      var S = SquiblyStorage;
      S.flushQueued = false;
      // While the database is being asked what it holds, its answer brings the next flush.
      if (!S.stored) return;
      var now = S.snapshot(), puts = [], deletes = [];
      Object.keys(now).forEach(function(path) { if (!S.same(now[path], S.stored[path])) puts.push(path); });
      Object.keys(S.stored).forEach(function(path) { if (!now[path]) deletes.push(path); });
      if (!puts.length && !deletes.length) return;
      IDBFS.getDB(S.folder, function(error, db) {
        if (error) return S.forget();
        var transaction;
        try {
          transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
          var store = transaction.objectStore(IDBFS.DB_STORE_NAME);
          var time = new Date();
          // Folders before their files; files before the folders that held them.
          puts.sort().forEach(function(path) {
            var entry = {timestamp: time, mode: now[path].mode};
            if (now[path].contents) entry.contents = now[path].contents;
            store.put(entry, path);
          });
          deletes.sort().reverse().forEach(function(path) { store.delete(path); });
        } catch (e) {
          return S.forget();
        }
        S.transactions++;
        transaction.oncomplete = function() {
          S.committed++;
          S.failuresInRow = 0;
        };
        transaction.onabort = transaction.onerror = function(e) {
          if (e && e.preventDefault) e.preventDefault();
          S.forget();
        };
        // Asked for at once, so a page being closed still gets its last save written.
        if (transaction.commit) transaction.commit();
        S.stored = now;
      });
    },

    // After a failed write: learn which files the database holds, then write everything again.
    failuresInRow: 0,
    forget: function() {
      var S = SquiblyStorage;
      S.failed++;
      S.stored = null;
      if (++S.failuresInRow > 3) {
        S.usable = false;
        err('saved games stay in memory: the browser keeps refusing to store them');
        return;
      }
      IDBFS.getRemoteSet({mountpoint: S.folder}, function(error, remote) {
        if (error) return S.forget();
        var stored = {};
        Object.keys(remote.entries).forEach(function(path) { stored[path] = {mode: -1}; });
        S.stored = stored;
        S.changed();
      });
    },

    // Every way the program changes the saved folder passes one of these.
    watch: function() {
      var S = SquiblyStorage;
      var close = FS.close, rename = FS.rename, unlink = FS.unlink, rmdir = FS.rmdir, mkdir = FS.mkdir;
      FS.close = function(stream) {
        var writing = stream && (stream.flags & 3) !== 0 && S.saved(stream.path);
        var result = close.apply(this, arguments);
        if (writing) S.changed();
        return result;
      };
      FS.rename = function(from, to) {
        var result = rename.apply(this, arguments);
        if (S.saved(S.absolute(from)) || S.saved(S.absolute(to))) S.changed();
        return result;
      };
      FS.unlink = function(path) {
        var result = unlink.apply(this, arguments);
        if (S.saved(S.absolute(path))) S.changed();
        return result;
      };
      FS.rmdir = function(path) {
        var result = rmdir.apply(this, arguments);
        if (S.saved(S.absolute(path))) S.changed();
        return result;
      };
      FS.mkdir = function(path) {
        var result = mkdir.apply(this, arguments);
        if (S.saved(S.absolute(path))) S.changed();
        return result;
      };
    },

    absolute: function(path) {
      return path && path[0] === '/' ? path : PATH.join2(FS.cwd(), path || '');
    },
  },
});
