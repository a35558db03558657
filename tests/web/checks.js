// The checks of a Chromium test: each failed check is printed and counted,
// and the test ends with the count's verdict.
'use strict';

let failures = 0;

function check(ok, what) {
  if (!ok) {
    failures += 1;
    console.log('FAIL ' + what);
  }
  return ok;
}

// Prints `passed` or the number of failures, and ends the process with it.
function finish(passed) {
  console.log(failures === 0 ? passed : `${failures} failure(s)`);
  process.exit(failures === 0 ? 0 : 1);
}

module.exports = { check, finish };
