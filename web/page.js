// The page's start, before the program: the service worker that keeps the whole site for use
// without the network, registered once the page has loaded (it does not compete with the launch).
if ('serviceWorker' in navigator && window.isSecureContext) {
  window.addEventListener('load', function() {
    navigator.serviceWorker.register('sw.js').catch(function() {});
  });
}
