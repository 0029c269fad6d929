# bash completion for vnk. The subcommands and their options are read from
# vnk's own help, so that the completion knows every command vnk knows.

_vnk_help_words() {
  # The words of the first column of a help section ("Subcommands:", "Options:").
  "$1" $2 --help 2>/dev/null | awk -v section="$3" '
    /^[A-Za-z]+:$/ { on = ($0 == section) ; next }
    on && /^  [^ ]/ { n = split($1, parts, ","); for (i = 1; i <= n; i++) print parts[i] }'
}

# Folders, and files whose names end in one of the given (case-blind) patterns.
_vnk_files() {
  local cur=$1 pattern
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -d -- "$cur"))
  shift
  for pattern in "$@"; do
    COMPREPLY+=($(compgen -f -X "!$pattern" -- "$cur"))
  done
}

_vnk() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local vnk=${COMP_WORDS[0]} sub="" i
  local IFS=$'\n'
  for ((i = 1; i < COMP_CWORD; i++)); do
    if [[ ${COMP_WORDS[i]} != -* ]]; then
      sub=${COMP_WORDS[i]}
      break
    fi
  done
  if [[ -z $sub ]]; then
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W "$(_vnk_help_words "$vnk" "" Options:)" -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$(_vnk_help_words "$vnk" "" Subcommands:)" -- "$cur"))
    fi
    return
  fi
  case $prev in
    -o | --output)
      _vnk_files "$cur" '*'
      return
      ;;
    --var)
      compopt -o nospace 2>/dev/null
      COMPREPLY=($(compgen -W $'name=\nemail=\nphone=' -- "$cur"))
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_vnk_help_words "$vnk" "$sub" Options:)" -- "$cur"))
    return
  fi
  case $sub in
    lex) _vnk_files "$cur" '*.[cC][vV][lL]' ;;
    schedule) COMPREPLY=($(compgen -W $'minute\nhour\nday\nmonth\nweekday' -- "$cur")) ;;
    *) _vnk_files "$cur" '*.[vV][nN][kK]' '*.[pP][lL][fF]' ;;
  esac
}
complete -F _vnk vnk
