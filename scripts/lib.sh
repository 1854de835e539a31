# Shared helpers of the project's scripts.
note() { echo "[korvane] $*" >&2; }
# fail STEP LOG: one line naming the failed step and where its log is.
fail() {
  echo "[korvane] FAILED: $1 (log: $2)" >&2
  exit 1
}
# step NAME LOG CMD...: run CMD with its output in LOG; on failure say which step and where the log is.
step() {
  local name=$1 log=$2
  shift 2
  mkdir -p "$(dirname "$log")"
  "$@" >"$log" 2>&1 || fail "$name" "$log"
}
