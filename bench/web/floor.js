// The floor's few lines: the title with this year, the caret after the nickname and the focus in
// the box, then the same mark the program sets when its window is shown.
const title = 'Velmora' + new Date().getFullYear() + ' v1.0.2';
document.title = title;
document.getElementById('title').textContent = title;
const box = document.getElementById('Text1');
box.setSelectionRange(box.value.length, box.value.length);
box.focus();
performance.mark('velmora-window-shown');
