// A page script that talks to its server in every way the address finder knows, each inside a named
// function, with decoys between them. A line ending in "expect:" names what must be found on it
// (address|kind|method|function, several joined by " ; "); a line ending in "decoy" must give nothing.
'use strict';

var API_BASE = '/api/v2'; // expect: /api/v2|literal||
var CDN = 'https://cdn.example.com/assets/'; // expect: https://cdn.example.com/assets/|literal||
var MIME = 'application/json'; // decoy
var RATIO = '16/9'; // decoy

async function loadUsers(page) {
    const res = await fetch(`${API_BASE}/users?page=${page}`); // expect: {API_BASE}/users?page={page}|fetch|GET|loadUsers
    return res.json();
}

async function saveUser(user) {
    return fetch('/api/v2/users/' + user.id, { // expect: /api/v2/users/{user.id}|fetch|PUT|saveUser
        method: 'PUT',
        headers: { 'Content-Type': 'application/json' }, // decoy
        body: JSON.stringify(user)
    });
}

function legacyRequest(method, url, done) {
    var xhr = new XMLHttpRequest();
    xhr.open(method, url, true); // expect: {url}|xhr|{method}|legacyRequest
    xhr.setRequestHeader('Accept', 'text/html'); // decoy
    xhr.onload = function () { done(xhr.responseText); };
    xhr.send();
}

function loadCountries() {
    var req = new XMLHttpRequest();
    req.open('GET', '../data/countries.json'); // expect: ../data/countries.json|xhr|GET|loadCountries
    req.send();
}

function jqueryForms() {
    $.ajax({
        url: '/cart/add', // expect: /cart/add|ajax|POST|jqueryForms
        type: 'POST',
        dataType: 'json'
    });
    $.get('/cart/count'); // expect: /cart/count|ajax|GET|jqueryForms
    $.post('/cart/remove', { id: 3 }); // expect: /cart/remove|ajax|POST|jqueryForms
    $.getJSON('/cart/items.json'); // expect: /cart/items.json|ajax|GET|jqueryForms
    $.getScript('//cdn.example.com/widget.js'); // expect: //cdn.example.com/widget.js|ajax|GET|jqueryForms
    $('#summary').load('/cart/summary.html'); // expect: /cart/summary.html|ajax|GET|jqueryForms
    $('#when').text('2024/12/31'); // decoy
}

var Client = {
    axiosForms: function (id) {
        axios('/ax/plain'); // expect: /ax/plain|axios||Client.axiosForms
        axios.get('/ax/items/' + id); // expect: /ax/items/{id}|axios|GET|Client.axiosForms
        axios.post('/ax/items', { id: id }); // expect: /ax/items|axios|POST|Client.axiosForms
        axios.put(`/ax/items/${id}`); // expect: /ax/items/{id}|axios|PUT|Client.axiosForms
        axios.delete('/ax/items/' + id); // expect: /ax/items/{id}|axios|DELETE|Client.axiosForms
        axios.patch('/ax/items/' + id); // expect: /ax/items/{id}|axios|PATCH|Client.axiosForms
        axios({ url: '/ax/config', method: 'post' }); // expect: /ax/config|axios|POST|Client.axiosForms
    }
};

function track(event) {
    navigator.sendBeacon('/collect?e=' + event); // expect: /collect?e={event}|beacon|POST|track
    console.log('sent ' + event + ' w/o retry'); // decoy
}

class Live {
    connect(room) {
        this.ws = new WebSocket('wss://live.example.com/rooms/' + room); // expect: wss://live.example.com/rooms/{room}|websocket||Live.connect
        this.events = new EventSource('/stream/events'); // expect: /stream/events|eventsource||Live.connect
    }
    startWorkers() {
        this.worker = new Worker('/js/worker.js'); // expect: /js/worker.js|worker||Live.startWorkers
        this.shared = new SharedWorker('js/shared-worker.js'); // expect: js/shared-worker.js|worker||Live.startWorkers
    }
}

function workerBoot() {
    importScripts('/js/lib/a.js', '/js/lib/b.js'); // expect: /js/lib/a.js|import||workerBoot ; /js/lib/b.js|import||workerBoot
}

const lazyChart = () => import('./charts/chart.mjs'); // expect: ./charts/chart.mjs|import||lazyChart

function popup(id) {
    window.open('/help/topic?id=' + id, 'help', 'width=400'); // expect: /help/topic?id={id}|open||popup
}

function navigation(target) {
    location = '/home'; // expect: /home|navigate||navigation
    window.location.href = '/login?next=' + encodeURIComponent(target); // expect: /login?next={encodeURIComponent(target)}|navigate||navigation
    location.assign('/account'); // expect: /account|navigate||navigation
    window.location.replace(target); // expect: {target}|navigate||navigation
}

function addScript(name) {
    var s = document.createElement('script');
    s.src = CDN + name + '.js'; // expect: {CDN}{name}.js|element||addScript
    document.head.appendChild(s);
    var img = new Image();
    img.setAttribute('src', '../img/spinner.gif'); // expect: ../img/spinner.gif|element||addScript
    document.forms[0].action = '/search'; // expect: /search|element||addScript
}

function literals() {
    var endpoints = {
        users: '/api/v2/users', // expect: /api/v2/users|literal||literals
        items: 'api/items?id=', // expect: api/items?id=|literal||literals
        local: './data.json', // expect: ./data.json|literal||literals
        socket: 'ws://127.0.0.1:9000/feed' // expect: ws://127.0.0.1:9000/feed|literal||literals
    };
    var dateFormat = 'yyyy/MM/dd'; // decoy
    var fraction = '1/2'; // decoy
    var slash = '/'; // decoy
    var word = 'users'; // decoy
    var prose = 'Enter your name and/or e-mail address'; // decoy
    var typeCheck = /^\/api\/v\d+\//; // decoy
    var built = new RegExp('/static/' + name + '\\.js$'); // decoy
    var markup = '<a href="/about/team">Team</a>'; // decoy
    var svgType = 'image/svg+xml'; // decoy
    var either = 'yes/no'; // decoy
    var date = day + '/' + month + '/' + year; // decoy
    // fetch('/commented/out');
    /* $.get('/also/commented'); */
    return endpoints;
}

var Extra = {
    more: function (base, req, id) {
        jQuery.ajax('/more/first', { method: 'delete' }); // expect: /more/first|ajax|DELETE|Extra.more
        window.fetch(req); // expect: {req}|fetch|GET|Extra.more
        fetch(`${base}/more/${id}/tags`, { method: 'post' }); // expect: {base}/more/{id}/tags|fetch|POST|Extra.more
        var x = new XMLHttpRequest(); x.open('post', '/more/xhr'); // expect: /more/xhr|xhr|POST|Extra.more
        navigator.serviceWorker.register('/sw.js'); // expect: /sw.js|worker||Extra.more
        self.importScripts('/more/polyfill.js'); // expect: /more/polyfill.js|import||Extra.more
        var ws = new window.WebSocket('ws://' + location.host + '/socket'); // expect: ws://{location.host}/socket|websocket||Extra.more
        document.location = '/more/moved'; // expect: /more/moved|navigate||Extra.more
        link.href = '/more/link.html'; // expect: /more/link.html|element||Extra.more
        form.setAttribute('action', '/more/submit'); // expect: /more/submit|element||Extra.more
        import(`${base}/plugins/${id}.js`); // expect: {base}/plugins/{id}.js|import||Extra.more
        var help = 'https://docs.example.com/guide#start'; // expect: https://docs.example.com/guide#start|literal||Extra.more
        var thumb = 'img/thumbs/' + id + '.jpg'; // expect: img/thumbs/{id}.jpg|literal||Extra.more
        var width = '100%/2'; // decoy
        var accept = 'text/plain, */*; q=0.01'; // decoy
        var units = 'km/h'; // decoy
    }
};

function decoyCalls(el) {
    el.addEventListener('load', literals); // decoy
    document.open('text/html', 'replace'); // decoy
    $(window).load(function () {}); // decoy
    modal.open('Settings', { width: 400 }); // decoy
    return '8/10'; // decoy
}
