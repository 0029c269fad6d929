# bash completion for vnk. The subcommands and their options are read from
# vnk's own help, so that the completion knows every command vnk knows.

_vnk_help_words() {
  # The words of the first column of a help section ("Subcommands:", "Options:").
  "$1" $2 --help 2>/dev/null | awk -v section="$3" '
    /^[A-Za-z]+:$/ { on = ($0 == section) ; next }
    on && /^  [^ ]/ { n = split($1, parts, ","); for (i = 1; i <= n; i++) print parts[i] }'
}

_vnk() {
  local cur prev words cword
  _init_completion || return
  local vnk=${words[0]} sub="" i
  for ((i = 1; i < cword; i++)); do
    if [[ ${words[i]} != -* ]]; then
      sub=${words[i]}
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
      _filedir
      return
      ;;
    --var)
      COMPREPLY=($(compgen -W "name= email= phone=" -- "$cur"))
      compopt -o nospace
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_vnk_help_words "$vnk" "$sub" Options:)" -- "$cur"))
    return
  fi
  case $sub in
    lex) _filedir '@(cvl|CVL)' ;;
    schedule) COMPREPLY=($(compgen -W "minute hour day month weekday" -- "$cur")) ;;
    *) _filedir '@(vnk|VNK|plf|PLF)' ;;
  esac
}
complete -F _vnk vnk
