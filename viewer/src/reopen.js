// The last file opened, kept where the browser allows it (a file handle kept in IndexedDB, in
// browsers that give handles: a file dropped, or chosen with "Open…"), so that the page can offer
// to reopen it next time. Where the browser gives no handles, none of this shows.
const DB = 'tandor-cube-viewer';
const STORE = 'files';

function store(mode) {
  return new Promise((done, fail) => {
    const open = indexedDB.open(DB, 1);
    open.onupgradeneeded = () => open.result.createObjectStore(STORE);
    open.onsuccess = () => done(open.result.transaction(STORE, mode).objectStore(STORE));
    open.onerror = () => fail(open.error);
  });
}

const asked = (request) => new Promise((done, fail) => {
  request.onsuccess = () => done(request.result);
  request.onerror = () => fail(request.error);
});

export const canReopen = () => typeof window.showOpenFilePicker === 'function' && typeof indexedDB !== 'undefined';

// Keeps a handle as the last file; a browser that refuses is no harm.
export function remember(handle) {
  if (!handle || !canReopen()) return;
  store('readwrite').then((s) => asked(s.put(handle, 'last'))).catch(() => {});
}

// The last file's handle, or null.
export function lastHandle() {
  if (!canReopen()) return Promise.resolve(null);
  return store('readonly').then((s) => asked(s.get('last'))).then((h) => h || null, () => null);
}

// The file of a handle, once the person allows the page to read it again; null if refused.
export async function fileOf(handle) {
  const options = { mode: 'read' };
  if ((await handle.queryPermission(options)) !== 'granted' && (await handle.requestPermission(options)) !== 'granted') return null;
  return handle.getFile();
}

// Lets the person choose a file and keeps its handle; null if nothing was chosen.
export async function choose() {
  try {
    const [handle] = await window.showOpenFilePicker({ types: [{ description: 'Solutions file or console report', accept: { 'text/plain': ['.txt', '.log'] } }] });
    remember(handle);
    return handle.getFile();
  } catch {
    return null;
  }
}
