// The channel page: lists a playlist's channels and plays them. Every text of a playlist or a
// guide is untrusted: it is only ever set as textContent, never as markup.
'use strict';
(function () {
  const HOUR = 3600;
  const GRID_HOURS = 6;
  const NO_ANSWER_MS = 20000;
  const $ = (id) => document.getElementById(id);

  let bridge = null;
  let channels = [];
  let current = -1;
  let hls = null;
  let watchdog = 0;
  let typed = '';
  let typedTimer = 0;
  let osdTimer = 0;
  let guideFrom = 0;
  let triedNative = false;
  let announced = false;

  function el(tag, cls, text) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function hhmm(secs) {
    const d = new Date(secs * 1000);
    return String(d.getHours()).padStart(2, '0') + ':' + String(d.getMinutes()).padStart(2, '0');
  }

  function nowSecs() { return Math.floor(Date.now() / 1000); }

  // The list, grouped by group-title in the order the groups first appear.
  function render() {
    const list = $('list');
    list.textContent = '';
    const groups = new Map();
    channels.forEach((c, i) => {
      const g = c.group || '未分组';
      if (!groups.has(g)) groups.set(g, []);
      groups.get(g).push(i);
    });
    const all = document.createDocumentFragment();
    for (const [name, members] of groups) {
      const section = el('section', 'group');
      section.appendChild(el('h2', null, name));
      for (const i of members) section.appendChild(row(i));
      all.appendChild(section);
    }
    list.appendChild(all);
  }

  function row(i) {
    const c = channels[i];
    const r = el('div', c.url ? 'channel' : 'channel unplayable');
    r.id = 'ch' + i;
    const logo = el('img', 'logo');
    logo.alt = '';
    logo.loading = 'lazy';
    if (c.logo) logo.src = c.logo; else logo.classList.add('none');
    logo.addEventListener('error', () => logo.classList.add('none'));
    r.appendChild(logo);
    const text = el('div', 'text');
    const name = el('div', 'name');
    name.appendChild(el('span', 'number', String(i + 1)));
    name.appendChild(document.createTextNode(c.name));
    text.appendChild(name);
    text.appendChild(el('div', 'epg', c.url ? '' : '无法播放：不是网络地址'));
    r.appendChild(text);
    r.title = c.name;
    r.addEventListener('click', () => play(i));
    return r;
  }

  function filter() {
    const words = $('search').value.trim().toLowerCase();
    for (const section of $('list').children) {
      let shown = 0;
      for (const r of section.querySelectorAll('.channel')) {
        const c = channels[Number(r.id.slice(2))];
        const hit = !words || c.name.toLowerCase().includes(words) ||
          (c.group || '').toLowerCase().includes(words);
        r.hidden = !hit;
        if (hit) shown++;
      }
      section.hidden = shown === 0;
    }
  }

  function refreshNowNext() {
    if (!bridge) return;
    bridge.nowNext((items) => {
      for (const e of document.querySelectorAll('.channel:not(.unplayable) .epg')) e.textContent = '';
      for (const item of items || []) {
        const r = $('ch' + item.i);
        if (!r) continue;
        const parts = [];
        if (item.now) parts.push('正在播：' + item.now.t);
        if (item.next) parts.push(hhmm(item.next.s) + ' ' + item.next.t);
        r.querySelector('.epg').textContent = parts.join(' · ');
      }
      if (items && items.length) bridge.guideShown(items.length);
    });
  }

  function stop() {
    clearTimeout(watchdog);
    if (hls) {
      hls.destroy();
      hls = null;
    }
    const v = $('video');
    v.removeAttribute('src');
    v.load();
  }

  function markCurrent(i) {
    const old = document.querySelector('.channel.current');
    if (old) old.classList.remove('current');
    const r = $('ch' + i);
    if (r) {
      r.classList.add('current');
      r.scrollIntoView({ block: 'nearest' });
    }
  }

  function osd(text) {
    const o = $('osd');
    o.textContent = text;
    o.hidden = false;
    clearTimeout(osdTimer);
    osdTimer = setTimeout(() => { o.hidden = true; }, 4000);
  }

  function problem(text) {
    $('problemText').textContent = text;
    $('problem').hidden = false;
    $('nextButton').focus();
  }

  // HLS lists and segments come through the program, which reads them from any server; the
  // page itself could only read servers that allow other sites.
  function relayed(url) {
    return url.replace(/^(https?):\/\//i, (m, scheme) => 'koro://tv/relay/' + scheme.toLowerCase() + '/');
  }

  function relayLoader() {
    const Base = Hls.DefaultConfig.loader;
    return class extends Base {
      load(context, config, callbacks) {
        context.url = relayed(context.url);
        super.load(context, config, callbacks);
      }
    };
  }

  function isNative(url) {
    return /\.(mp4|m4v|webm|ogv|ogg)([?#]|$)/i.test(url);
  }

  function play(i) {
    if (i < 0 || i >= channels.length) return;
    current = i;
    triedNative = false;
    announced = false;
    stop();
    $('problem').hidden = true;
    markCurrent(i);
    const c = channels[i];
    osd((i + 1) + '  ' + c.name);
    if (!c.url) {
      problem('无法播放「' + c.name + '」：它的地址不是网络地址');
      return;
    }
    bridge.watched(i);
    watchdog = setTimeout(() => failed(i, '频道长时间没有画面'), NO_ANSWER_MS);
    const v = $('video');
    if (!isNative(c.url) && window.Hls && Hls.isSupported()) {
      hls = new Hls({
        manifestLoadingMaxRetry: 1,
        manifestLoadingTimeOut: 10000,
        levelLoadingMaxRetry: 2,
        fragLoadingMaxRetry: 2,
        loader: relayLoader(),
      });
      hls.on(Hls.Events.ERROR, (event, data) => { if (data.fatal) hlsFailed(i, data); });
      hls.loadSource(c.url);
      hls.attachMedia(v);
    } else {
      v.src = c.url;
    }
    v.play().catch(() => {});
  }

  function hlsFailed(i, data) {
    if (i !== current) return;
    if (data.details === 'manifestParsingError' && !triedNative) {
      // Not an HLS list: perhaps a stream the engine plays itself.
      triedNative = true;
      hls.destroy();
      hls = null;
      $('video').src = channels[i].url;
      $('video').play().catch(() => {});
      return;
    }
    if (data.type === Hls.ErrorTypes.MEDIA_ERROR || data.type === Hls.ErrorTypes.MUX_ERROR) {
      failed(i, '格式不受支持');
      return;
    }
    const code = data.response && data.response.code;
    if (code === 404 || code === 410) failed(i, '找不到(' + code + ')');
    else explain(i);
  }

  // The program asks the address itself and tells why it failed.
  function explain(i) {
    stop();
    watchdog = setTimeout(() => failed(i, '频道无法播放'), 8000);
    bridge.explain(i);
  }

  function failed(i, reason) {
    if (i !== current) return;
    stop();
    problem('无法播放「' + channels[i].name + '」：' + reason);
    bridge.failed(i, reason);
  }

  function step(direction) {
    const n = channels.length;
    for (let k = 1; k <= n; k++) {
      const j = ((current + direction * k) % n + n) % n;
      if (channels[j].url) {
        play(j);
        return;
      }
    }
  }

  function showNumber() {
    const box = $('number');
    box.textContent = typed;
    box.hidden = false;
    clearTimeout(typedTimer);
    typedTimer = setTimeout(() => { typed = ''; box.hidden = true; }, 5000);
  }

  function onKey(e) {
    if (!$('guide').hidden) {
      if (e.key === 'Escape') closeGuide();
      return;
    }
    const inSearch = e.target === $('search');
    if (e.key === 'PageDown' || (!inSearch && e.key === 'ArrowDown')) {
      step(1);
    } else if (e.key === 'PageUp' || (!inSearch && e.key === 'ArrowUp')) {
      step(-1);
    } else if (!inSearch && /^[0-9]$/.test(e.key)) {
      typed = (typed + e.key).slice(-5);
      showNumber();
    } else if (!inSearch && e.key === 'Enter' && typed) {
      const n = parseInt(typed, 10);
      typed = '';
      $('number').hidden = true;
      if (n >= 1 && n <= channels.length) play(n - 1);
    } else if (e.key === 'Escape') {
      typed = '';
      $('number').hidden = true;
      return;
    } else {
      return;
    }
    e.preventDefault();
  }

  function openGuide() {
    const half = HOUR / 2;
    guideFrom = Math.floor(nowSecs() / half) * half - half;
    $('guide').hidden = false;
    $('guideNote').textContent = '';
    drawGuide();
    $('guideBack').focus();
  }

  function closeGuide() {
    $('guide').hidden = true;
    $('list').focus();
  }

  function drawGuide() {
    const from = guideFrom;
    const to = from + GRID_HOURS * HOUR;
    $('guideRange').textContent = hhmm(from) + ' – ' + hhmm(to);
    bridge.guide(from, to, (rows) => {
      const grid = $('grid');
      grid.textContent = '';
      if (!rows || !rows.length) {
        grid.appendChild(el('p', 'empty',
          '这段时间没有节目指南。节目指南来自播放列表，或“电视频道”菜单的“节目指南来源...”。'));
        return;
      }
      const width = 1440;
      const x = (t) => Math.max(0, Math.min(width, (t - from) / (to - from) * width));
      const times = el('div', 'row times');
      times.appendChild(el('div', 'cell-name', '频道'));
      const ticks = el('div', 'track');
      for (let t = from; t < to; t += HOUR / 2) {
        const tick = el('span', 'tick', hhmm(t));
        tick.style.left = x(t) + 'px';
        ticks.appendChild(tick);
      }
      times.appendChild(ticks);
      const all = document.createDocumentFragment();
      all.appendChild(times);
      const now = nowSecs();
      for (const r of rows) {
        const line = el('div', 'row');
        line.appendChild(el('div', 'cell-name', (r.i + 1) + ' ' + channels[r.i].name));
        const track = el('div', 'track');
        for (const p of r.p) track.appendChild(show(r.i, p, x, now));
        line.appendChild(track);
        all.appendChild(line);
      }
      grid.appendChild(all);
    });
  }

  function show(i, p, x, now) {
    const box = el('div', 'show' + (p.s <= now && now < p.e ? ' now' : p.e <= now ? ' past' : ''));
    box.style.left = x(p.s) + 'px';
    box.style.width = Math.max(2, x(p.e) - x(p.s) - 1) + 'px';
    box.title = hhmm(p.s) + '–' + hhmm(p.e) + ' ' + p.t + (p.d ? '\n' + p.d : '');
    box.appendChild(el('span', 'when', hhmm(p.s)));
    box.appendChild(el('span', 'ptitle', p.t));
    if (p.s > now) {
      const b = el('button', null, p.r ? '已提醒' : '提醒我');
      b.type = 'button';
      b.disabled = !!p.r;
      b.addEventListener('click', (e) => {
        e.stopPropagation();
        bridge.remind(i, p.s, (error) => {
          $('guideNote').textContent = error ||
            ('将在 ' + hhmm(p.s) + ' 提醒：' + channels[i].name + ' - ' + p.t);
          if (!error) {
            b.textContent = '已提醒';
            b.disabled = true;
          }
        });
      });
      box.appendChild(b);
    } else {
      box.addEventListener('click', () => { closeGuide(); play(i); });
    }
    return box;
  }

  function loadPlaylist(then) {
    bridge.playlist((p) => {
      channels = (p && p.channels) || [];
      $('title').textContent = (p && p.title) || '';
      render();
      filter();
      bridge.shown(channels.length);
      refreshNowNext();
      play((p && p.start) || 0);
      $('list').focus();
      if (typeof then === 'function') then();
    });
  }

  function connect() {
    if (typeof qt === 'undefined' || !qt.webChannelTransport) {
      problem('频道页无法与程序联系，请从“电视频道”菜单重新打开播放列表。');
      return;
    }
    new QWebChannel(qt.webChannelTransport, (channel) => {
      bridge = channel.objects.koro;
      bridge.playlistChanged.connect(() => loadPlaylist());
      bridge.guideChanged.connect(() => {
        refreshNowNext();
        if (!$('guide').hidden) drawGuide();
      });
      bridge.remindersChanged.connect(() => { if (!$('guide').hidden) drawGuide(); });
      bridge.selectRequested.connect((i) => {
        closeGuide();
        play(i);
      });
      bridge.guideRequested.connect(openGuide);
      bridge.explained.connect((i, reason) => failed(i, reason));
      loadPlaylist(() => { if (location.hash === '#guide') openGuide(); });
    });
  }

  window.addEventListener('DOMContentLoaded', () => {
    const v = $('video');
    v.addEventListener('playing', () => {
      clearTimeout(watchdog);
      $('problem').hidden = true;
      // Once per channel: playing again after a stall is no new picture.
      if (bridge && current >= 0 && !announced) bridge.playing(current);
      announced = true;
    });
    v.addEventListener('error', () => {
      if (current >= 0 && !hls && v.getAttribute('src')) explain(current);
    });
    v.addEventListener('dblclick', () => { if (bridge) bridge.toggleCompact(); });
    $('search').addEventListener('input', filter);
    $('nextButton').addEventListener('click', () => step(1));
    $('guideButton').addEventListener('click', openGuide);
    $('guideBack').addEventListener('click', closeGuide);
    $('guideEarlier').addEventListener('click', () => { guideFrom -= 3 * HOUR; drawGuide(); });
    $('guideLater').addEventListener('click', () => { guideFrom += 3 * HOUR; drawGuide(); });
    document.addEventListener('keydown', onKey);
    setInterval(refreshNowNext, 60000);
    connect();
  });
})();
