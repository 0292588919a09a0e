// The road test page of kv720-cli plot: stacked uPlot charts on one time axis, a cursor read-out
// of every value, zoom shared by all charts, the markers, and the statistics of the span in view.
(function () {
  'use strict';
  const data = JSON.parse(document.getElementById('kv-data').textContent);
  const files = data.files;
  const COLOURS = ['#1565c0', '#c62828', '#2e7d32', '#ef6c00', '#6a1b9a', '#00838f'];
  const LIGHT = ['#90caf9', '#ef9a9a', '#a5d6a7', '#ffcc80', '#ce93d8', '#80deea'];
  const colour = (k, light) => (light ? LIGHT : COLOURS)[k % COLOURS.length];

  // The charts, top to bottom: each series a column of the recording. A state series runs on
  // the chart's right-hand scale.
  const CHARTS = [
    {title: 'Lambda', height: 150, series: [
      {col: 'lambda_V', label: 'lambda'},
      {col: 'lambda_state', label: 'lambda state', state: true}]},
    {title: 'Throttle', height: 120, series: [
      {col: 'tps_V', label: 'TPS'},
      {col: 'tps_switch', label: 'throttle switch', state: true, text: ['OFF', 'ON']},
      {col: 'tps_lamp', label: 'TPS lamp', state: true}]},
    {title: 'Engine speed', height: 120, series: [{col: 'engine_rpm', label: 'engine speed'}]},
    {title: 'Stepper', height: 130, series: [
      {col: 'actuator_steps', label: 'stepper position'},
      {col: 'att_init_steps', label: 'stepper base', light: true, dash: [6, 4]}]},
    {title: 'Temperature', height: 110, series: [{col: 'temperature_C', label: 'temperature'}]},
  ];
  const FLAGS = [
    ['on_gas', 'on gas (else petrol)'], ['engine_running', 'engine running'],
    ['learning', 'learning'], ['lpg_off', 'LPG OFF'], ['cut_off', 'CUT-OFF'],
    ['learn_finished', 'learn finished'], ['learn_failed', 'learn failed'],
    ['speed_reached', 'speed reached'], ['temperature_reached', 'temperature reached']];
  const LABELS = {};
  CHARTS.forEach(c => c.series.forEach(s => { LABELS[s.col] = s; }));
  FLAGS.forEach(([col, label]) => { LABELS[col] = {col, label, text: ['off', 'on']}; });

  // Every file's times moved by its alignment shift; one table joining all files on one axis.
  const times = files.map(f => f.columns.time_s.map(t => (t === null ? null : t + f.shift)));
  const keys = [];
  const tables = files.map((f, k) => {
    const table = [times[k]];
    Object.keys(f.columns).forEach(col => {
      if (col === 'time_s') return;
      keys.push(k + ':' + col);
      table.push(f.columns[col]);
    });
    return table;
  });
  const joined = files.length === 1 ? tables[0] : holdValues(uPlot.join(tables));

  // On the joined axis a file has no row at the other files' times: it holds its last value
  // there (lines and bands run on instead of breaking), and has none outside its own span.
  function holdValues(table) {
    let at = 1;
    files.forEach((f, k) => {
      const first = times[k][0], last = times[k][times[k].length - 1];
      const count = Object.keys(f.columns).length - 1;
      for (let c = 0; c < count; c++, at++) {
        const values = table[at];
        let held = null;
        for (let i = 0; i < values.length; i++) {
          const t = table[0][i];
          if (values[i] !== undefined) held = values[i];
          else values[i] = t < first || t > last ? null : held;
        }
      }
    });
    return table;
  }
  const column = (k, col) => {
    const i = keys.indexOf(k + ':' + col);
    return i < 0 ? null : joined[i + 1];
  };

  // The CSV keeps to ASCII ("degC"); the page shows the sign.
  const shown = unit => (unit === 'degC' ? '\u00b0C' : unit || '');

  function clock(t) {
    const sign = t < 0 ? '-' : '';
    t = Math.abs(t);
    const h = Math.floor(t / 3600), m = Math.floor(t / 60) % 60, s = t % 60;
    const ss = (s < 10 ? '0' : '') + s.toFixed(1);
    return sign + (h ? h + ':' + (m < 10 ? '0' : '') + m : m) + ':' + ss;
  }
  const axisTime = (u, splits) => splits.map(t => (Math.abs(u.scales.x.max - u.scales.x.min) < 60
    ? t.toFixed(1) + ' s' : clock(t).replace(/\.\d$/, '')));

  function value(col, v, unit) {
    if (v === null || v === undefined) return '-';
    const label = LABELS[col] || {};
    if (label.text) return label.text[v ? 1 : 0] || String(v);
    const text = unit === 'V' ? v.toFixed(4) : String(v);
    return unit && !/^\d/.test(unit) ? text + ' ' + shown(unit) : text;
  }

  const width = () => Math.max(400, document.getElementById('kv-charts').clientWidth);
  const charts = [];
  let syncing = false;

  function onScale(u, key) {
    if (key !== 'x' || syncing) return;
    syncing = true;
    const {min, max} = u.scales.x;
    // Each redraw of a chart rebuilds its paths: only the charts not showing the span yet.
    charts.forEach(o => { if (o !== u && (o.scales.x.min !== min || o.scales.x.max !== max)) o.setScale('x', {min, max}); });
    syncing = false;
    showStats();
  }

  function onCursor(u) {
    const i = u.cursor.idx;
    if (i !== null && i !== undefined && u.cursor.left >= 0) showAt(u.data[0][i]);
  }

  // Vertical lines at every marker on every chart; their labels over the top chart.
  function drawMarkers(u) {
    const ctx = u.ctx, top = u.bbox.top, bottom = top + u.bbox.height;
    ctx.save();
    ctx.lineWidth = 2 * devicePixelRatio;
    ctx.setLineDash([5 * devicePixelRatio, 3 * devicePixelRatio]);
    files.forEach((f, k) => f.markers.forEach(m => {
      const x = u.valToPos(m.t + f.shift, 'x', true);
      if (x < u.bbox.left || x > u.bbox.left + u.bbox.width) return;
      ctx.strokeStyle = colour(k, false);
      ctx.beginPath();
      ctx.moveTo(x, top);
      ctx.lineTo(x, bottom);
      ctx.stroke();
    }));
    ctx.restore();
    if (u === charts[0]) placeMarkerLabels(u);
  }

  const markerLabels = [];
  function placeMarkerLabels(u) {
    if (!markerLabels.length) {
      files.forEach((f, k) => f.markers.forEach(m => {
        const el = document.createElement('div');
        el.className = 'kv-marker-label';
        el.style.borderColor = colour(k, false);
        el.textContent = m.label;
        el.dataset.file = k;
        el.dataset.t = m.t + f.shift;
        el.style.top = (k * 18) + 'px';
        u.over.appendChild(el);
        markerLabels.push(el);
      }));
    }
    markerLabels.forEach(el => {
      const x = u.valToPos(Number(el.dataset.t), 'x');
      el.style.display = x < 0 || x > u.over.clientWidth ? 'none' : '';
      el.style.left = x + 'px';
    });
  }

  function chartOptions(title, height, series, stateAxis) {
    return {
      title, width: width(), height, series,
      legend: {show: false},
      cursor: {sync: {key: 'kv'}, y: false, drag: {x: true, y: false}, points: {show: false}},
      scales: {x: {time: false}, state: {range: [0, 8]}},
      axes: [
        {values: axisTime, size: 30},
        {size: 60},
        stateAxis ? {scale: 'state', side: 1, size: 40, grid: {show: false}}
          : {side: 1, size: 40, grid: {show: false}, ticks: {show: false}, values: () => []}],
      hooks: {setScale: [onScale], setCursor: [onCursor], draw: [drawMarkers]},
    };
  }

  function lineChart(chart) {
    const series = [{}], columns = [joined[0]];
    let stateAxis = false;
    files.forEach((f, k) => chart.series.forEach(s => {
      const values = column(k, s.col);
      if (!values || !f.columns[s.col].some(v => v !== null)) return;
      stateAxis = stateAxis || !!s.state;
      series.push({
        label: s.label + (files.length > 1 ? ' ' + (k + 1) : ''),
        stroke: colour(k, s.light || s.state), width: s.state ? 1 : 1.5, dash: s.dash,
        scale: s.state ? 'state' : 'y', spanGaps: true, points: {show: false},
        paths: s.state ? uPlot.paths.stepped({align: 1}) : undefined,
      });
      columns.push(s.state ? changesOnly(values) : values);
    }));
    const unit = shown(chart.series.map(s => files[0].units[s.col]).find(u => u));
    return new uPlot(chartOptions(chart.title + (unit ? ' (' + unit + ')' : ''), chart.height,
                                  series, stateAxis), columns, document.getElementById('kv-charts'));
  }

  // A stepped line needs only the points where its value changes (and its last): the others
  // become gaps it spans, so a two-hour drive draws as fast as a short one.
  function changesOnly(values) {
    const out = new Array(values.length).fill(null);
    let previous;
    for (let i = 0; i < values.length; i++) {
      if (values[i] !== previous || i === values.length - 1) out[i] = values[i];
      previous = values[i];
    }
    return out;
  }

  // The fuel and the Switches flags: one lane a flag, filled while it is set; each file has its
  // own strip of every lane.
  function bandChart() {
    const series = [{}], columns = [joined[0]], n = files.length;
    FLAGS.forEach(([col, label], lane) => files.forEach((f, k) => {
      const values = column(k, col);
      if (!values) return;
      const base = lane + k * 0.9 / n, top = base + 0.8 / n;
      series.push({label: label + (n > 1 ? ' ' + (k + 1) : ''), stroke: colour(k, false),
                   fill: colour(k, true), fillTo: base, width: 1, spanGaps: true,
                   points: {show: false}, paths: uPlot.paths.stepped({align: 1})});
      columns.push(changesOnly(values.map(v => (v === null ? null : v ? top : base))));
    }));
    const opts = chartOptions('Fuel and switches', 24 * FLAGS.length + 40, series, false);
    opts.scales.y = {range: [0, FLAGS.length]};
    opts.axes[1] = {size: 60, values: () => [], grid: {show: false}, ticks: {show: false}};
    opts.hooks.draw.push(u => {
      const ctx = u.ctx;
      ctx.save();
      ctx.fillStyle = '#333';
      ctx.font = (11 * devicePixelRatio) + 'px sans-serif';
      FLAGS.forEach(([, label], lane) => ctx.fillText(label, u.bbox.left + 4 * devicePixelRatio,
                                                      u.valToPos(lane + 0.5, 'y', true)));
      ctx.restore();
    });
    return new uPlot(opts, columns, document.getElementById('kv-charts'));
  }

  // The row of a file at time t: the last one at or before it.
  function rowAt(k, t) {
    const xs = times[k];
    let lo = 0, hi = xs.length - 1;
    if (t < xs[0]) return -1;
    while (lo < hi) {
      const mid = (lo + hi + 1) >> 1;
      if (xs[mid] <= t) lo = mid; else hi = mid - 1;
    }
    return lo;
  }

  const shownColumns = CHARTS.flatMap(c => c.series.map(s => s.col)).concat(FLAGS.map(f => f[0]));
  let shownT = null;
  function showAt(t) {
    if (t === shownT) return;
    shownT = t;
    const out = document.getElementById('kv-readout');
    const parts = ['<div class="kv-time">t = <b>' + t.toFixed(3) + ' s</b> (' + clock(t) + ')</div>'];
    files.forEach((f, k) => {
      const row = rowAt(k, t);
      let line = '<div class="kv-row" data-file="' + k + '"><span class="kv-swatch" style="background:' +
        colour(k, false) + '"></span>';
      shownColumns.forEach(col => {
        if (!(col in f.columns)) return;
        const v = row < 0 ? null : f.columns[col][row];
        line += '<span data-col="' + col + '"><i>' + LABELS[col].label + '</i> ' +
          escape(value(col, v, f.units[col])) + '</span>';
      });
      parts.push(line + '</div>');
    });
    out.innerHTML = parts.join('');
  }

  function escape(text) {
    return String(text).replace(/[&<>"]/g, c => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c]));
  }

  // Minimum, maximum and mean of every numeric column over the span in view.
  function showStats() {
    const x = charts[0].scales.x, parts = [];
    if (x.min === null || x.min === undefined) return;  // not drawn yet
    parts.push('<div class="kv-span">In view: <b>' + x.min.toFixed(1) + ' s to ' + x.max.toFixed(1) +
               ' s</b> (' + clock(x.max - x.min) + ')</div><table><tr><th></th>');
    files.forEach((f, k) => { parts.push('<th colspan="3" style="color:' + colour(k, false) + '">' + escape(f.name) + '</th>'); });
    parts.push('</tr><tr><th></th>' + files.map(() => '<th>min</th><th>max</th><th>mean</th>').join('') + '</tr>');
    CHARTS.forEach(c => c.series.forEach(s => {
      if (s.text) return;
      let row = '<tr data-col="' + s.col + '"><th>' + s.label + ' (' + shown(files[0].units[s.col]) + ')</th>';
      files.forEach((f, k) => {
        const values = f.columns[s.col] || [];
        let lo = Math.max(0, rowAt(k, x.min)), hi = rowAt(k, x.max), min = Infinity, max = -Infinity, sum = 0, n = 0;
        if (times[k][lo] < x.min) lo++;
        for (let i = lo; i <= hi; i++) {
          const v = values[i];
          if (v === null || v === undefined) continue;
          if (v < min) min = v;
          if (v > max) max = v;
          sum += v; n++;
        }
        const d = f.units[s.col] === 'V' ? 3 : 0;
        row += n ? '<td>' + min.toFixed(d) + '</td><td>' + max.toFixed(d) + '</td><td>' + (sum / n).toFixed(d + 1) + '</td>'
          : '<td>-</td><td>-</td><td>-</td>';
      });
      parts.push(row + '</tr>');
    }));
    document.getElementById('kv-stats').innerHTML = parts.join('') + '</table>';
  }

  function showHeader() {
    const parts = ['<h1>Road test</h1>'];
    files.forEach((f, k) => {
      parts.push('<div class="kv-file" data-file="' + k + '"><span class="kv-swatch" style="background:' +
        colour(k, false) + '"></span><b>' + escape(f.name) + '</b> car <b>' + escape(f.registration || '?') +
        '</b>, controller ' + escape(f.controller || '?') + ', recorded ' + escape(f.started || '?') +
        ', duration ' + clock(f.duration) + ', ' + f.rows + ' rows, ' + f.markers.length + ' markers' +
        (f.shift ? ', moved by ' + f.shift.toFixed(3) + ' s' : '') + '</div>');
    });
    if (files.length > 1) {
      parts.push('<div class="kv-align">Aligned at ' + (data.align ? 'marker ' + data.align : 'their start') + '</div>');
    }
    parts.push('<div class="kv-help">Drag across a chart to zoom, double-click to see it all.</div>');
    document.getElementById('kv-header').innerHTML = parts.join('');
  }

  showHeader();
  CHARTS.forEach(chart => charts.push(lineChart(chart)));
  charts.push(bandChart());
  showAt(joined[0][0]);
  window.addEventListener('resize', () => charts.forEach(u => u.setSize({width: width(), height: u.height})));
  window.kvCharts = charts;
  // uPlot draws at the next frame: the page is ready once that has happened.
  requestAnimationFrame(() => {
    showStats();
    document.documentElement.dataset.ready = 'yes';
  });
})();
