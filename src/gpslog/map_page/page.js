// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The map page's script: draws the track from the page's own data on a Leaflet map, the
// speed-over-time chart under it, and links the two. Everything it shows comes from the
// page: the points from the track-data element, the stops from the summary. It writes no
// text from the data as markup (only numbers it formats itself), loads nothing but map
// tiles, and leaves these marks on the <html> element for whoever checks the page:
//   data-track-points  the points drawn in the track
//   data-point-markers the per-point markers shown at the present zoom
//   data-drawn-ms      milliseconds from the start of loading to the first drawn frame
(function () {
    'use strict';

    var FIELDS = 6; // time, latitude, longitude, altitude, course, speed
    var MARKER_ZOOM = 15; // per-point markers from this zoom on...
    var MARKER_MAX = 1500; // ...when no more points than this are in view
    var GAP_SECONDS = 300; // no fix for longer than this: the line is dashed there
    var TILE_URL = 'https://tile.openstreetmap.org/{z}/{x}/{y}.png';
    var TILE_ATTRIBUTION =
        '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors';
    // Speed bands (km/h, lower bounds) and their colours, slow to fast: steps of the viridis
    // scale, which grows lighter all the way, so the bands stay apart in every common form
    // of colour blindness and in grey; its palest end is left out, to show on light tiles.
    // The legend names each band's range: the colour is never the only cue.
    var BANDS = [
        {from: 0, color: '#440154', label: 'under 10'},
        {from: 10, color: '#472d7b', label: '10 \u2013 30'},
        {from: 30, color: '#355f8d', label: '30 \u2013 50'},
        {from: 50, color: '#26828e', label: '50 \u2013 70'},
        {from: 70, color: '#22a884', label: '70 \u2013 90'},
        {from: 90, color: '#5ec962', label: '90 \u2013 110'},
        {from: 110, color: '#bddf26', label: '110 and over'}
    ];
    var UNKNOWN_COLOR = '#8a8a8a';
    var SVG = 'http://www.w3.org/2000/svg';

    var root = document.documentElement;
    var raw = JSON.parse(document.getElementById('track-data').textContent);
    var n = Math.floor(raw.length / FIELDS);
    var t = new Float64Array(n), lat = new Float64Array(n), lon = new Float64Array(n);
    var alt = new Float64Array(n), course = new Float64Array(n), speed = new Float64Array(n);
    var i;
    for (i = 0; i < n; i++) {
        var k = i * FIELDS;
        t[i] = i === 0 ? raw[k] : t[i - 1] + raw[k]; // later times count from the one before
        lat[i] = raw[k + 1];
        lon[i] = raw[k + 2];
        alt[i] = raw[k + 3] === null ? NaN : raw[k + 3];
        course[i] = raw[k + 4] === null ? NaN : raw[k + 4];
        speed[i] = raw[k + 5] === null ? NaN : raw[k + 5];
    }
    raw = null;

    function markDrawn() {
        // The frame after the one that drew the page has started: the first draw is on screen.
        requestAnimationFrame(function () {
            setTimeout(function () {
                root.setAttribute('data-drawn-ms', String(Math.round(performance.now())));
            }, 0);
        });
    }

    root.setAttribute('data-point-markers', '0');
    if (n === 0) {
        root.setAttribute('data-track-points', '0');
        markDrawn();
        return;
    }

    // ---- text ----

    function pad2(v) {
        return (v < 10 ? '0' : '') + v;
    }
    // The times are the tracker's clock, kept as seconds on a UTC scale.
    function dateTimeText(seconds) {
        return new Date(seconds * 1000).toISOString().slice(0, 19).replace('T', ' ');
    }
    function clockText(seconds, withSeconds) {
        var d = new Date(seconds * 1000);
        var text = pad2(d.getUTCHours()) + ':' + pad2(d.getUTCMinutes());
        return withSeconds ? text + ':' + pad2(d.getUTCSeconds()) : text;
    }
    function dayText(seconds) {
        var d = new Date(seconds * 1000);
        return pad2(d.getUTCMonth() + 1) + '-' + pad2(d.getUTCDate());
    }
    function numberText(value, decimals, unit) {
        return isFinite(value) ? value.toFixed(decimals) + unit : '\u2013';
    }
    function durationText(seconds) {
        var h = Math.floor(seconds / 3600), m = Math.floor(seconds % 3600 / 60);
        var s = Math.floor(seconds % 60);
        if (h > 0) {
            return h + ' h ' + m + ' min';
        }
        return m > 0 ? m + ' min ' + s + ' s' : s + ' s';
    }
    // A tooltip's lines, as elements (nothing from the data is parsed as markup).
    function pointContent(index) {
        var box = document.createElement('div');
        var head = document.createElement('strong');
        head.textContent = dateTimeText(t[index]);
        box.appendChild(head);
        var lines = [
            'Speed ' + numberText(speed[index], 1, ' km/h'),
            'Course ' + numberText(course[index], 2, '\u00b0'),
            'Altitude ' + numberText(alt[index], 1, ' m')
        ];
        lines.forEach(function (line) {
            var div = document.createElement('div');
            div.textContent = line;
            box.appendChild(div);
        });
        return box;
    }

    // The day the trip starts, after the tracker's name in the title and the heading.
    var day = ', ' + dateTimeText(t[0]).slice(0, 10);
    document.title += day;
    document.getElementById('name').appendChild(document.createTextNode(day));

    // ---- map ----

    var map = L.map('map', {preferCanvas: true, minZoom: 1, maxZoom: 19, zoomSnap: 0.5});
    var renderer = L.canvas({padding: 0.3});
    L.control.scale({imperial: false, maxWidth: 160}).addTo(map);

    var note = document.getElementById('offline-note');
    var tileLayer = null, tilesShown = false;
    function addTiles() {
        if (tileLayer) {
            return;
        }
        tileLayer = L.tileLayer(TILE_URL, {maxZoom: 19, attribution: TILE_ATTRIBUTION});
        tileLayer.on('tileload', function () {
            tilesShown = true;
            note.hidden = true;
        });
        tileLayer.on('tileerror', function () {
            if (!tilesShown) {
                note.hidden = false;
            }
        });
        tileLayer.addTo(map);
    }
    if (navigator.onLine === false) {
        note.hidden = false;
    } else {
        addTiles();
    }
    window.addEventListener('online', addTiles);
    window.addEventListener('offline', function () {
        if (!tilesShown) {
            note.hidden = false;
        }
    });

    function bandOf(v) {
        if (!isFinite(v)) {
            return -1;
        }
        for (var b = BANDS.length - 1; b > 0; b--) {
            if (v >= BANDS[b].from) {
                return b;
            }
        }
        return 0;
    }
    // A stretch between two fixes takes the band of their mean speed (of the one known).
    function stretchBand(a) {
        var s0 = speed[a], s1 = speed[a + 1];
        if (!isFinite(s0)) {
            return bandOf(s1);
        }
        return bandOf(isFinite(s1) ? (s0 + s1) / 2 : s0);
    }

    // One polyline per band, each holding the runs of stretches in that band, so that even
    // a long log makes only a few layers. The positions are made once and shared.
    var all = new Array(n);
    for (i = 0; i < n; i++) {
        all[i] = L.latLng(lat[i], lon[i]);
    }
    var runs = {}, gaps = [], used = {};
    var run = null, runBand = null;
    for (i = 0; i + 1 < n; i++) {
        if (t[i + 1] - t[i] > GAP_SECONDS) {
            gaps.push([all[i], all[i + 1]]);
            run = null;
            continue;
        }
        var band = stretchBand(i);
        if (run === null || band !== runBand) {
            run = [all[i]];
            runBand = band;
            (runs[band] = runs[band] || []).push(run);
            used[band] = true;
        }
        run.push(all[i + 1]);
    }
    // No white edge under the line: a second polyline would cost as much again to draw, and
    // a drop shadow on the canvas makes every hover redraw it.
    if (gaps.length) {
        L.polyline(gaps, {renderer: renderer, color: '#555555', weight: 3, dashArray: '6 6',
                          interactive: false}).addTo(map);
    }
    Object.keys(runs).forEach(function (key) {
        var b = Number(key);
        L.polyline(runs[key], {renderer: renderer, weight: 5, opacity: 0.9,
                               color: b < 0 ? UNKNOWN_COLOR : BANDS[b].color,
                               interactive: false}).addTo(map);
    });
    var bounds = L.latLngBounds(all);
    all = null;
    runs = null;
    // Room at the foot for the note, the scale, the labels and the legend.
    map.fitBounds(bounds, {paddingTopLeft: [40, 40], paddingBottomRight: [40, 100], maxZoom: 16,
                           animate: false});

    // Stops, from the summary.
    var stopItems = document.querySelectorAll('#stops li[data-start]');
    var stops = [];
    Array.prototype.forEach.call(stopItems, function (item) {
        var stop = {
            start: Number(item.getAttribute('data-start')),
            end: Number(item.getAttribute('data-end')),
            lat: Number(item.getAttribute('data-lat')),
            lon: Number(item.getAttribute('data-lon'))
        };
        stops.push(stop);
        L.circleMarker([stop.lat, stop.lon], {renderer: renderer, radius: 7, color: '#7a3d00',
                                              weight: 2, fillColor: '#ff9f1c', fillOpacity: 1})
            .bindTooltip('Stop ' + clockText(stop.start) + '\u2013' + clockText(stop.end) + ' (' +
                         durationText(stop.end - stop.start) + ')')
            .addTo(map);
    });

    function endMarker(index, label, fill, direction) {
        L.circleMarker([lat[index], lon[index]], {renderer: renderer, radius: 8, color: '#ffffff',
                                                  weight: 3, fillColor: fill, fillOpacity: 1})
            .bindTooltip(label + ' ' + clockText(t[index]),
                         {permanent: true, direction: direction, className: 'end-label'})
            .addTo(map);
    }
    endMarker(0, 'Start', '#1b7f3b', 'left');
    endMarker(n - 1, 'End', '#b3001b', 'right');

    // Per-point markers once zoomed in far enough to tell the points apart.
    var pointLayer = L.layerGroup().addTo(map);
    function updatePointMarkers() {
        pointLayer.clearLayers();
        var inView = [];
        if (map.getZoom() >= MARKER_ZOOM) {
            var b = map.getBounds().pad(0.1);
            var south = b.getSouth(), north = b.getNorth(), west = b.getWest(), east = b.getEast();
            for (var p = 0; p < n && inView.length <= MARKER_MAX; p++) {
                if (lat[p] >= south && lat[p] <= north && lon[p] >= west && lon[p] <= east) {
                    inView.push(p);
                }
            }
            if (inView.length > MARKER_MAX) {
                inView = [];
            }
        }
        inView.forEach(function (p) {
            L.circleMarker([lat[p], lon[p]], {renderer: renderer, radius: 4, color: '#222222',
                                              weight: 1, fillColor: '#ffffff', fillOpacity: 1})
                .bindTooltip(function () {
                    return pointContent(p);
                })
                .on('mouseover', function () {
                    showIndex(p, false);
                })
                .addTo(pointLayer);
        });
        root.setAttribute('data-point-markers', String(inView.length));
        var zoomHint = document.getElementById('zoom-hint');
        if (zoomHint) {
            zoomHint.hidden = inView.length > 0;
        }
    }
    map.on('moveend', updatePointMarkers);

    // The legend: the speed bands the track uses.
    var legend = L.control({position: 'bottomright'});
    legend.onAdd = function () {
        var box = L.DomUtil.create('div', 'legend');
        var title = L.DomUtil.create('div', 'legend-title', box);
        title.textContent = 'Speed (km/h)';
        BANDS.forEach(function (b, index) {
            if (used[index]) {
                var row = L.DomUtil.create('div', 'legend-row', box);
                var swatch = L.DomUtil.create('span', 'swatch', row);
                swatch.style.background = b.color;
                row.appendChild(document.createTextNode(b.label));
            }
        });
        if (used[-1]) {
            var unknown = L.DomUtil.create('div', 'legend-row', box);
            L.DomUtil.create('span', 'swatch', unknown).style.background = UNKNOWN_COLOR;
            unknown.appendChild(document.createTextNode('not recorded'));
        }
        if (gaps.length) {
            var gap = L.DomUtil.create('div', 'legend-row', box);
            L.DomUtil.create('span', 'swatch dashed', gap);
            gap.appendChild(document.createTextNode('no fix for over 5 min'));
        }
        var hint = L.DomUtil.create('div', 'zoom-hint', box);
        hint.id = 'zoom-hint';
        hint.textContent = 'Zoom in to see each recorded position.';
        return box;
    };
    legend.addTo(map);

    // ---- the chart ----

    var chartBox = document.getElementById('chart');
    var chart = null; // the drawn chart's geometry
    // A marker of its own element, not on the canvas: moving it redraws nothing else.
    var highlight = L.marker([lat[0], lon[0]], {
        icon: L.divIcon({className: 'highlight-marker', iconSize: [18, 18]}),
        interactive: false, keyboard: false, zIndexOffset: 1000
    });
    highlight.bindTooltip('', {permanent: true, direction: 'top', offset: [0, -10],
                               className: 'highlight-label'});

    function svg(name, attributes, parent) {
        var element = document.createElementNS(SVG, name);
        Object.keys(attributes).forEach(function (key) {
            element.setAttribute(key, String(attributes[key]));
        });
        if (parent) {
            parent.appendChild(element);
        }
        return element;
    }
    function niceStep(range, count) {
        var rough = range / count, power = Math.pow(10, Math.floor(Math.log10(rough)));
        var steps = [1, 2, 5, 10];
        for (var s = 0; s < steps.length; s++) {
            if (steps[s] * power >= rough) {
                return steps[s] * power;
            }
        }
        return 10 * power;
    }
    var TIME_STEPS = [60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400,
                      172800, 604800];

    function drawChart() {
        var width = chartBox.clientWidth, height = chartBox.clientHeight;
        if (width < 80 || height < 60) {
            return;
        }
        chartBox.textContent = '';
        var left = 46, right = 14, top = 10, bottom = 24;
        var plotW = width - left - right, plotH = height - top - bottom;
        var t0 = t[0], t1 = t[n - 1], span = Math.max(t1 - t0, 1);
        var vmax = 0;
        for (var p = 0; p < n; p++) {
            if (speed[p] > vmax) {
                vmax = speed[p];
            }
        }
        var vstep = niceStep(Math.max(vmax, 10), 4);
        var vtop = Math.max(vstep, Math.ceil(vmax / vstep) * vstep);
        function x(time) {
            return left + (time - t0) / span * plotW;
        }
        function y(v) {
            return top + plotH - v / vtop * plotH;
        }
        var box = svg('svg', {width: width, height: height, viewBox: '0 0 ' + width + ' ' + height,
                              role: 'img', 'aria-describedby': 'chart-caption',
                              'aria-label': 'Chart of the speed over time; a table of it follows'},
                      chartBox);
        // Stops first, under everything else.
        stops.forEach(function (stop) {
            var r = svg('rect', {x: x(stop.start), y: top, width: Math.max(x(stop.end) - x(stop.start), 1),
                                 height: plotH, 'class': 'stop'}, box);
            svg('title', {}, r).textContent = 'Stop ' + clockText(stop.start) + '\u2013' +
                                              clockText(stop.end) + ' (' +
                                              durationText(stop.end - stop.start) + ')';
        });
        for (var v = 0; v <= vtop + 1e-9; v += vstep) {
            svg('line', {x1: left, x2: left + plotW, y1: y(v), y2: y(v), 'class': 'grid'}, box);
            var label = svg('text', {x: left - 6, y: y(v) + 4, 'class': 'axis', 'text-anchor': 'end'},
                            box);
            label.textContent = String(Math.round(v));
        }
        var unit = svg('text', {x: left + 6, y: top + 10, 'class': 'axis unit'}, box);
        unit.textContent = 'km/h';
        var tstep = TIME_STEPS[TIME_STEPS.length - 1];
        for (var s = 0; s < TIME_STEPS.length; s++) {
            if (TIME_STEPS[s] / span * plotW >= 70) {
                tstep = TIME_STEPS[s];
                break;
            }
        }
        var manyDays = t1 - t0 >= 86400 || dayText(t0) !== dayText(t1);
        for (var tick = Math.ceil(t0 / tstep) * tstep; tick <= t1; tick += tstep) {
            svg('line', {x1: x(tick), x2: x(tick), y1: top + plotH, y2: top + plotH + 4,
                         'class': 'tick'}, box);
            var tl = svg('text', {x: x(tick), y: height - 6, 'class': 'axis',
                                  'text-anchor': 'middle'}, box);
            tl.textContent = tstep >= 86400 ? dayText(tick)
                             : (manyDays && tick % 86400 === 0 ? dayText(tick) : clockText(tick));
        }
        svg('line', {x1: left, x2: left + plotW, y1: top + plotH, y2: top + plotH, 'class': 'axis-line'},
            box);
        // The line: per pixel column its lowest and highest speed, so that a long log costs
        // no more than the chart is wide. Broken where no speed or no fix for a while.
        var d = [], column = -1, low = 0, high = 0, open = false;
        function flush() {
            if (column >= 0) {
                d.push((open ? 'L' : 'M') + column + ' ' + y(low).toFixed(1));
                if (high !== low) {
                    d.push('L' + column + ' ' + y(high).toFixed(1));
                }
                open = true;
            }
        }
        for (p = 0; p < n; p++) {
            if (!isFinite(speed[p]) || (p > 0 && t[p] - t[p - 1] > GAP_SECONDS)) {
                flush();
                column = -1;
                open = false;
                if (!isFinite(speed[p])) {
                    continue;
                }
            }
            var c = Math.round(x(t[p]));
            if (c !== column) {
                flush();
                column = c;
                low = high = speed[p];
            } else {
                low = Math.min(low, speed[p]);
                high = Math.max(high, speed[p]);
            }
        }
        flush();
        svg('path', {d: d.join(''), 'class': 'speed'}, box);
        var cursor = svg('g', {'class': 'cursor', visibility: 'hidden'}, box);
        svg('line', {x1: 0, x2: 0, y1: top, y2: top + plotH}, cursor);
        svg('circle', {cx: 0, cy: 0, r: 4}, cursor);
        var overlay = svg('rect', {x: left, y: top, width: plotW, height: plotH, 'class': 'overlay'},
                          box);
        chart = {x: x, y: y, left: left, plotW: plotW, t0: t0, span: span, cursor: cursor};
        box.setAttribute('data-plot-left', String(left));
        box.setAttribute('data-plot-width', String(plotW));
        overlay.addEventListener('mousemove', function (event) {
            showIndex(indexAt(event), true);
        });
        overlay.addEventListener('mouseleave', hideCursor);
        overlay.addEventListener('click', function (event) {
            var at = indexAt(event);
            map.setView([lat[at], lon[at]], Math.max(map.getZoom(), 17));
            showIndex(at, false);
        });
    }

    // The point nearest in time to the pointer's place on the chart.
    function indexAt(event) {
        var rect = chartBox.firstChild.getBoundingClientRect();
        var time = chart.t0 + (event.clientX - rect.left - chart.left) / chart.plotW * chart.span;
        var lo = 0, hi = n - 1;
        while (lo < hi) {
            var mid = (lo + hi) >> 1;
            if (t[mid] < time) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        if (lo > 0 && time - t[lo - 1] <= t[lo] - time) {
            lo -= 1;
        }
        return lo;
    }

    function showIndex(index, pan) {
        highlight.setLatLng([lat[index], lon[index]]);
        if (!map.hasLayer(highlight)) {
            highlight.addTo(map);
        }
        highlight.setTooltipContent(pointContent(index));
        if (pan && !map.getBounds().contains(highlight.getLatLng())) {
            map.panTo(highlight.getLatLng());
        }
        if (chart) {
            var cx = chart.x(t[index]).toFixed(1);
            var line = chart.cursor.firstChild, dot = line.nextSibling;
            line.setAttribute('x1', cx);
            line.setAttribute('x2', cx);
            dot.setAttribute('cx', cx);
            dot.setAttribute('cy', isFinite(speed[index]) ? chart.y(speed[index]).toFixed(1) : '-10');
            chart.cursor.setAttribute('visibility', 'visible');
        }
        chartBox.setAttribute('data-shown-index', String(index));
    }
    function hideCursor() {
        if (chart) {
            chart.cursor.setAttribute('visibility', 'hidden');
        }
        highlight.remove();
        chartBox.removeAttribute('data-shown-index');
    }

    // The chart's data for screen readers: the trip cut into equal stretches of time, each
    // with its average and top speed, as a table they can walk (not drawn: the chart shows
    // the same). Made once; the chart is drawn anew with the window's size.
    var TABLE_ROWS = 48;
    function speedTable() {
        var table = document.createElement('table');
        table.id = 'speed-table';
        table.createCaption().textContent =
            'Speed over time, in km/h: the average and top speed in each stretch of the trip';
        var head = table.createTHead().insertRow();
        ['From', 'To', 'Average speed (km/h)', 'Top speed (km/h)'].forEach(function (text) {
            var cell = document.createElement('th');
            cell.scope = 'col';
            cell.textContent = text;
            head.appendChild(cell);
        });
        var body = table.createTBody();
        var t0 = t[0], span = Math.max(t[n - 1] - t0, 1), rows = Math.min(TABLE_ROWS, n);
        var manyDays = dayText(t0) !== dayText(t[n - 1]);
        var when = manyDays ? dateTimeText : function (s) { return clockText(s, true); };
        var p = 0;
        for (var r = 0; r < rows; r++) {
            var from = t0 + span * r / rows, to = r + 1 === rows ? t[n - 1] : t0 + span * (r + 1) / rows;
            var sum = 0, count = 0, top = -Infinity;
            for (; p < n && (t[p] < to || r + 1 === rows); p++) {
                if (isFinite(speed[p])) {
                    sum += speed[p];
                    count += 1;
                    top = Math.max(top, speed[p]);
                }
            }
            var row = body.insertRow();
            [when(Math.floor(from)), when(Math.floor(to)),
             count ? (sum / count).toFixed(1) : 'no speed recorded',
             count ? top.toFixed(1) : '\u2013'].forEach(function (text) {
                row.insertCell().textContent = text;
            });
        }
        // A table takes the room its cells need whatever its size says: its box hides it.
        var hidden = document.createElement('div');
        hidden.className = 'visually-hidden';
        hidden.appendChild(table);
        document.getElementById('chart-box').appendChild(hidden);
    }
    speedTable();

    drawChart();
    var resizeTimer = null;
    window.addEventListener('resize', function () {
        clearTimeout(resizeTimer);
        resizeTimer = setTimeout(function () {
            drawChart();
            map.invalidateSize();
        }, 100);
    });

    updatePointMarkers();
    root.setAttribute('data-track-points', String(n));
    markDrawn();
})();
