# The time every package and archive carries: the last commit's
# (SOURCE_DATE_EPOCH, which CPack, dpkg and scripts/lib/zip_folder.py take),
# so that one commit gives the same bytes whenever it is built. One given
# already is kept.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] &&
  SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH
fi
