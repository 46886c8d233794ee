// Makes the choice page live: every change of a cell is checked by the server, which answers
// (in JSON) with the cells the desktop's auto-fill changed, the hints on unknown subjects and
// the Prüfliste.
// Without this script the page works the same through its buttons.
(function () {
  "use strict";

  var form = document.getElementById("wahl");
  if (!form || !window.fetch) return;
  var csrf = form.querySelector("input[name=csrf]").value;
  var cells = Array.prototype.slice.call(form.querySelectorAll("input[name^='f-']"));
  var timer = null;
  var latest = 0;

  function gridValues() {
    var values = {};
    cells.forEach(function (cell) { values[cell.name] = cell.value; });
    return values;
  }

  function formBody(values) {
    var body = new URLSearchParams();
    Object.keys(values).forEach(function (name) { body.append(name, values[name]); });
    return body;
  }

  function showHint(cell, hint) {
    var span = document.getElementById(cell.getAttribute("aria-describedby"));
    if (!span) return;
    span.textContent = "";
    if (!hint) {
      cell.classList.remove("unbekannt");
      cell.removeAttribute("aria-invalid");
      return;
    }
    cell.classList.add("unbekannt");
    cell.setAttribute("aria-invalid", "true");
    span.appendChild(document.createTextNode(hint.text));
    if (hint.vorschlag) {
      var suggestion = document.createElement("span");
      suggestion.className = "vorschlag";
      suggestion.textContent = " " + hint.vorschlag;
      span.appendChild(suggestion);
      var match = /»(.*)«/.exec(hint.vorschlag);
      if (match) {
        var take = document.createElement("button");
        take.type = "button";
        take.className = "uebernehmen";
        take.textContent = "Übernehmen";
        take.setAttribute("aria-label", match[1] + " übernehmen");
        take.addEventListener("click", function () {
          cell.value = match[1];
          cell.focus();
          check();
        });
        span.appendChild(take);
      }
    }
  }

  function apply(sent, answer) {
    cells.forEach(function (cell) {
      var value = answer.zellen[cell.name];
      // A cell typed into since the request keeps what the pupil typed.
      if (typeof value === "string" && cell.value === sent[cell.name] && cell.value !== value)
        cell.value = value;
      showHint(cell, answer.hinweise[cell.name]);
    });
    var list = document.getElementById("pruefliste-inhalt");
    if (list) {
      var heading = document.createElement("p");
      heading.textContent = answer.ueberschrift;
      var items = document.createElement("ul");
      items.innerHTML = answer.eintraege; // built and escaped by the server
      list.textContent = "";
      list.appendChild(heading);
      list.appendChild(items);
    }
  }

  function check() {
    if (timer) {
      clearTimeout(timer);
      timer = null;
    }
    var sent = gridValues();
    var number = ++latest;
    fetch("/api/pruefen", {
      method: "POST",
      credentials: "same-origin",
      headers: { "X-CSRF-Token": csrf },
      body: formBody(sent)
    }).then(function (response) {
      return response.ok ? response.json() : null;
    }).then(function (answer) {
      if (answer && number === latest) apply(sent, answer);
    }).catch(function () { /* the buttons still work */ });
  }

  cells.forEach(function (cell) {
    cell.addEventListener("input", function () {
      if (timer) clearTimeout(timer);
      timer = setTimeout(check, 250);
    });
    cell.addEventListener("change", check);
  });
  document.documentElement.classList.add("live");
})();
