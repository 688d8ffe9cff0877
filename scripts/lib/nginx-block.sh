# Sourced by the scripts that run nginx on this machine (serve-lists, measure-refresh,
# nginx-e2e); needs $repo, the repository's folder.

# Whether the loopback answers on IPv6 (::1).
loopback_has_ipv6() { ip -6 addr show dev lo 2>/dev/null | grep -q 'inet6 ::1/128'; }

# The shipped server block for a folder on a loopback port: the folder in place of
# /srv/numira/lists, 127.0.0.1:PORT and, where the loopback has IPv6, [::1]:PORT in place
# of port 80. As the only server of that port it answers whatever name a request names.
#   loopback_block DIR PORT
loopback_block() {
  local block v6=""
  block=$(<"$repo/deploy/nginx/numira-lists.conf")
  block=${block//\/srv\/numira\/lists/$1}
  loopback_has_ipv6 && v6="listen [::1]:$2;"
  block=${block//listen \[::\]:80;/$v6}
  block=${block//listen 80;/listen 127.0.0.1:$2;}
  printf '%s\n' "$block"
}
